// Environment variables of the test process, set for a while or for good.
#include "scopedenvironment.h"

#include <cstdlib>

namespace dwellmark::testing {

namespace {

void setVariable(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

std::pair<std::string, std::optional<std::string>> parseEntry(const std::string& entry) {
    if (entry.starts_with('-')) {
        return {entry.substr(1), std::nullopt};
    }
    const std::size_t equals = entry.find('=');
    return {entry.substr(0, equals), entry.substr(equals + 1)};
}

} // namespace

void setEnvironment(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const auto [name, value] = parseEntry(entry);
        setVariable(name, value);
    }
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::optional<std::string>& value) {
    set(name, value);
}

ScopedEnvironment::ScopedEnvironment(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const auto [name, value] = parseEntry(entry);
        set(name, value);
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    // Backwards, so that a variable set twice gets its first value back.
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
        setVariable(saved->first, saved->second);
    }
}

void ScopedEnvironment::set(const std::string& name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name.c_str());
    m_saved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    setVariable(name, value);
}

} // namespace dwellmark::testing
