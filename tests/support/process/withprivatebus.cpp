// Runs a command on a private session bus of its own, for the tests that are
// scripts; the bus and its folder go when the command ends.
//
//   with_private_bus COMMAND [ARGS...]
#include "privatebus.h"
#include "scratchfolder.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace dwellmark::testing;
    if (argc < 2) {
        std::fputs("usage: with_private_bus COMMAND [ARGS...]\n", stderr);
        return 2;
    }
    int status = 1;
    {
        ScratchFolder folder("dwellmark-bus");
        PrivateBus bus(folder.path() + "/bus");
        if (!folder.made() || !bus.ready()) {
            std::fputs("with_private_bus: the bus did not start\n", stderr);
            return 1;
        }
        setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
        const pid_t command = fork();
        if (command == 0) {
            execvp(argv[1], argv + 1);
            std::perror(argv[1]);
            _exit(127);
        }
        if (command < 0 || waitpid(command, &status, 0) != command) {
            return 1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
