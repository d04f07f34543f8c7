#pragma once

#include <sys/types.h>

namespace dwellmark::bench {

/// CPU time used so far by a whole process (all its threads, living or
/// ended), user and system together, in seconds; negative when it cannot be
/// read. The kernel keeps this total exact (to its 10 ms unit), not sampled.
double processCpuSeconds(pid_t pid);

/// The resident set of a process in kibibytes; negative when it cannot be read.
long residentKiB(pid_t pid);

} // namespace dwellmark::bench
