#include "sharedtickcount.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dwellmark::bench {

SharedTickCount::SharedTickCount(const std::string& path) {
    const int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    struct stat status {};
    if (file < 0 || fstat(file, &status) != 0 ||
        (status.st_size < static_cast<off_t>(sizeof(std::uint64_t)) &&
         ftruncate(file, static_cast<off_t>(sizeof(std::uint64_t))) != 0)) {
        const std::string why = std::strerror(errno);
        if (file >= 0) {
            close(file);
        }
        throw std::runtime_error("tick count file " + path + ": " + why);
    }
    void* mapped = mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    close(file);
    if (mapped == MAP_FAILED) {
        throw std::runtime_error("tick count file " + path + ": " + std::strerror(errno));
    }
    m_count = static_cast<std::uint64_t*>(mapped);
}

SharedTickCount::~SharedTickCount() {
    munmap(m_count, sizeof(std::uint64_t));
}

void SharedTickCount::increment() {
    std::atomic_ref<std::uint64_t> count(*m_count);
    count.store(count.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

std::uint64_t SharedTickCount::value() const {
    return std::atomic_ref<std::uint64_t>(*m_count).load(std::memory_order_relaxed);
}

} // namespace dwellmark::bench
