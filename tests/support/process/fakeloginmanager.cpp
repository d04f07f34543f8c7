// A login manager of the test's own on the bus that DBUS_SYSTEM_BUS_ADDRESS names: one session, "c1", whose
// LockedHint the test flips by writing "lock" or "unlock" to its standard input (it answers "locked" or
// "unlocked" once the change is sent). It says "ready" once it owns org.freedesktop.login1.
// With "screensaver", a screen saver on the session bus instead: "lock" and "unlock" send ActiveChanged(true)
// and (false), once it owns org.freedesktop.ScreenSaver. Either ends with its bus.
//
//   fake_login_manager [screensaver]
#include <cstdio>
#include <iostream>
#include <poll.h>
#include <string>
#include <string_view>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

constexpr const char* sessionPath = "/org/freedesktop/login1/session/c1";
bool locked = false;

int getSession(sd_bus_message* call, void*, sd_bus_error* error) {
    const char* id = nullptr;
    if (sd_bus_message_read(call, "s", &id) < 0 || std::string_view(id) != "c1") {
        return sd_bus_error_set(error, "org.freedesktop.login1.NoSuchSession", "No such session");
    }
    return sd_bus_reply_method_return(call, "o", sessionPath);
}

int readLockedHint(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "b", static_cast<int>(locked));
}

const sd_bus_vtable managerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("GetSession", "s", "o", getSession, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

int readId(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", "c1");
}

const sd_bus_vtable sessionTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("Id", "s", readId, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("LockedHint", "b", readLockedHint, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_VTABLE_END,
};

int getActive(sd_bus_message* call, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(call, "b", static_cast<int>(locked));
}

constexpr const char* screenSaverPath = "/org/freedesktop/ScreenSaver";

const sd_bus_vtable screenSaverTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("GetActive", "", "b", getActive, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("ActiveChanged", "b", 0),
    SD_BUS_VTABLE_END,
};

bool serveScreenSaver(sd_bus*& bus) {
    return sd_bus_open_user(&bus) >= 0 &&
           sd_bus_add_object_vtable(bus, nullptr, screenSaverPath, "org.freedesktop.ScreenSaver", screenSaverTable,
                                    nullptr) >= 0 &&
           sd_bus_request_name(bus, "org.freedesktop.ScreenSaver", 0) >= 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool screenSaver = argc > 1 && std::string_view(argv[1]) == "screensaver";
    sd_bus* bus = nullptr;
    if (screenSaver) {
        if (!serveScreenSaver(bus)) {
            std::fputs("fake_login_manager: no session bus to serve\n", stderr);
            return 1;
        }
    } else if (sd_bus_open_system(&bus) < 0 ||
               sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                        managerTable, nullptr) < 0 ||
               // The caller's own session, as logind names it, and the same by its id.
               sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/login1/session/auto",
                                        "org.freedesktop.login1.Session", sessionTable, nullptr) < 0 ||
               sd_bus_add_object_vtable(bus, nullptr, sessionPath, "org.freedesktop.login1.Session", sessionTable,
                                        nullptr) < 0 ||
               sd_bus_request_name(bus, "org.freedesktop.login1", 0) < 0) {
        std::fputs("fake_login_manager: no system bus to serve\n", stderr);
        return 1;
    }
    std::cout << "ready" << std::endl;
    std::string line;
    while (true) {
        int processed = 0;
        while ((processed = sd_bus_process(bus, nullptr)) > 0) {
        }
        if (processed < 0) {
            return 0;
        }
        pollfd ready[2] = {{STDIN_FILENO, POLLIN, 0}, {sd_bus_get_fd(bus), POLLIN, 0}};
        if (poll(ready, 2, -1) < 0) {
            return 1;
        }
        if ((ready[0].revents & (POLLIN | POLLHUP)) != 0) {
            if (!std::getline(std::cin, line)) {
                return 0;
            }
            locked = line == "lock";
            if (screenSaver) {
                sd_bus_emit_signal(bus, screenSaverPath, "org.freedesktop.ScreenSaver", "ActiveChanged", "b",
                                   static_cast<int>(locked));
            } else {
                sd_bus_emit_properties_changed(bus, sessionPath, "org.freedesktop.login1.Session", "LockedHint",
                                               nullptr);
            }
            sd_bus_flush(bus);
            std::cout << (locked ? "locked" : "unlocked") << std::endl;
        }
    }
}
