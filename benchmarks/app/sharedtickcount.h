#pragma once

#include <cstdint>
#include <string>

namespace dwellmark::bench {

/// A count of timer ticks kept in a small file that the measuring process maps
/// too: it reads the count at the moments it chooses, and the counting program
/// pays one store to memory per tick.
class SharedTickCount final {
public:
    /// Maps the file, making it (with a count of 0) when it is not there.
    /// Throws std::runtime_error when that fails.
    explicit SharedTickCount(const std::string& path);
    ~SharedTickCount();

    SharedTickCount(const SharedTickCount&) = delete;
    SharedTickCount& operator=(const SharedTickCount&) = delete;

    /// Only one process counts, so a plain load and store will do.
    void increment();
    std::uint64_t value() const;

private:
    std::uint64_t* m_count = nullptr;
};

} // namespace dwellmark::bench
