// What the measuring tools read of and do to the processes they measure.
#pragma once

#include <sys/types.h>

namespace dwellmark::bench {

/// CPU time used so far by a whole process (all its threads, living or
/// ended), user and system together, in seconds; negative when it cannot be
/// read. The kernel keeps this total exact (to its 10 ms unit), not sampled.
double processCpuSeconds(pid_t pid);

/// CPU time of the living threads of a process, in seconds, as the scheduler
/// counts it to the nanosecond; negative when it cannot be read. Fine enough
/// for a process that sleeps nearly all the time.
double processRunSeconds(pid_t pid);

/// How often the living threads of a process went to sleep of their own
/// accord (voluntary context switches): each is followed by a wake-up.
long voluntarySwitches(pid_t pid);

/// The resident set of a process in kibibytes; negative when it cannot be read.
long residentKiB(pid_t pid);

/// Starts command[0] with the arguments of the null-terminated command and
/// this process's environment; 0 when it cannot be started (said on stderr).
pid_t start(char** command);

/// Whether the child has not ended yet.
bool stillRunning(pid_t child);

/// Ends a child with SIGTERM, or SIGKILL when it is still there after 5 s,
/// and reaps it.
void stop(pid_t child);

} // namespace dwellmark::bench
