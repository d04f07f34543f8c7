#include "platform/linux/processname.h"

#include "platform/linux/titletext.h"

#include <array>
#include <cctype>
#include <climits>
#include <string>
#include <unistd.h>

namespace dwellmark::platform::linux {

std::string executableBaseName(long pid) {
    if (pid <= 0) {
        return {};
    }
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    std::array<char, PATH_MAX> target{};
    const ssize_t length = readlink(link.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
        return {};
    }
    std::string_view path(target.data(), static_cast<std::size_t>(length));
    // An executable replaced on disk (a program updated while it runs) keeps
    // its name, marked as deleted.
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) {
        path.remove_suffix(deleted.size());
    }
    const auto slash = path.rfind('/');
    if (slash != std::string_view::npos) {
        path.remove_prefix(slash + 1);
    }
    return repairUtf8(path);
}

bool isThisHost(std::string_view hostName) {
    std::array<char, HOST_NAME_MAX + 1> buffer{};
    if (gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return false;
    }
    const std::string_view own(buffer.data());
    if (own.empty() || own.size() != hostName.size()) {
        return false;
    }
    for (std::size_t i = 0; i < own.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(own[i])) != std::tolower(static_cast<unsigned char>(hostName[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace dwellmark::platform::linux
