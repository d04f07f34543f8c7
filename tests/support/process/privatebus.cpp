// A private D-Bus bus of a test's own, so that nothing the test does reaches the user's session.
#include "privatebus.h"

#include <csignal>
#include <sys/wait.h>

namespace dwellmark::testing {

namespace {

// Only catches a hang, also on a loaded machine.
constexpr std::chrono::seconds hang(60);

} // namespace

PrivateBus::PrivateBus(const std::string& socketPath, const std::vector<std::string>& environment) {
    // setsid makes the daemon the leader of a group of its own; it runs in the
    // foreground, so that it is the process this object reaps.
    m_daemon = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/setsid", "/usr/bin/dbus-daemon",
                                                                       "--config-file=/usr/share/dbus-1/session.conf",
                                                                       "--nofork", "--print-address=1",
                                                                       "--address=unix:path=" + socketPath},
                                              environment);
    m_address = m_daemon->readLine(hang).value_or("");
}

PrivateBus::~PrivateBus() {
    const pid_t group = m_daemon->pid();
    // The services end with the bus, and may write to the test's folders until
    // they do. The daemon is left unreaped until the rest of its group is
    // killed, so that the group's number cannot pass to another process.
    ::kill(-group, SIGTERM);
    eventually(
        [&] {
            siginfo_t ended{};
            return waitid(P_PID, static_cast<id_t>(group), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                   ended.si_pid == group;
        },
        hang);
    ::kill(-group, SIGKILL);
    m_daemon->waitForExit(hang);
}

} // namespace dwellmark::testing
