// Environment variables of the test process, set for a while or for good.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dwellmark::testing {

/// Sets the environment entries ("NAME=VALUE" set, "-NAME" removed) in this process for good.
void setEnvironment(const std::vector<std::string>& entries);

/// Sets environment variables (or removes them, given nothing) for as long as
/// it lives, and then puts back what was there before.
class ScopedEnvironment final {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const std::string& name, const std::optional<std::string>& value);
    /// Environment entries, as setEnvironment() takes them.
    explicit ScopedEnvironment(const std::vector<std::string>& entries);
    ~ScopedEnvironment();

    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    /// Sets one more variable, or the same again; the first value is put back.
    void set(const std::string& name, const std::optional<std::string>& value);

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace dwellmark::testing
