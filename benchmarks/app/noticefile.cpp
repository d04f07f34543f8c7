// The file a measured program writes each new foreground window to, as the bench script matches them.
#include "noticefile.h"

#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace dwellmark::bench {

NoticeFile::NoticeFile(const std::string& path)
    : m_file(open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)) {
    if (m_file < 0) {
        throw std::runtime_error("cannot open " + path);
    }
}

NoticeFile::~NoticeFile() {
    close(m_file);
}

void NoticeFile::note(std::uint32_t window) const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::string line =
        std::to_string(window) + ' ' + std::to_string(now.tv_sec * 1'000'000'000LL + now.tv_nsec) + '\n';
    static_cast<void>(write(m_file, line.data(), line.size()));
}

} // namespace dwellmark::bench
