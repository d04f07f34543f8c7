// What the measuring tools read of and do to the processes they measure.
#pragma once

#include <map>
#include <sys/types.h>

namespace dwellmark::bench {

/// CPU time used so far by a whole process (all its threads, living or
/// ended), user and system together, in seconds; negative when it cannot be
/// read. The kernel keeps this total exact (to its 10 ms unit), not sampled.
double processCpuSeconds(pid_t pid);

/// What one thread of a process has used so far.
struct ThreadUse {
    /// CPU time as the scheduler counts it, to the nanosecond: fine enough for
    /// a thread that sleeps nearly all the time.
    double runSeconds = 0.0;
    /// How often it went to sleep of its own accord (voluntary context
    /// switches): each is followed by a wake-up.
    long voluntarySwitches = 0;
};

/// The use of each living thread of a process, by thread id; empty when the
/// process cannot be read.
std::map<long, ThreadUse> threadUse(pid_t pid);

/// What the threads used between two readings: a thread that is in both counts
/// its difference, one born between them all it used. A thread that ended
/// between them is lost (the threads of an idle Qt program live for the run).
ThreadUse usedBetween(const std::map<long, ThreadUse>& before, const std::map<long, ThreadUse>& after);

/// Starts command[0] with the arguments of the null-terminated command and
/// this process's environment; 0 when it cannot be started (said on stderr).
pid_t start(char** command);

/// Whether the child has not ended yet.
bool stillRunning(pid_t child);

/// Ends a child with SIGTERM, or SIGKILL when it is still there after 5 s,
/// and reaps it.
void stop(pid_t child);

} // namespace dwellmark::bench
