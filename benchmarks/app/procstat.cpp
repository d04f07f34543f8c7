#include "procstat.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

namespace dwellmark::bench {

double processCpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces and parentheses itself.
    const auto close = text.rfind(')');
    if (close == std::string::npos) {
        return -1.0;
    }
    std::istringstream rest(text.substr(close + 1));
    std::string field;
    // Fields after the name start at number 3; utime is 14 and stime 15.
    for (int number = 3; number < 14 && rest >> field; ++number) {
    }
    double user = 0.0;
    double system = 0.0;
    if (!(rest >> user >> system)) {
        return -1.0;
    }
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

} // namespace dwellmark::bench
