// What the backends that listen on the D-Bus session bus share.
#include "platform/wayland/sessionbus.h"

#include "platform/linux/lostconnection.h"

#include <systemd/sd-bus.h>

namespace dwellmark::platform::wayland {

void processSessionBus(sd_bus* bus) {
    int processed = 0;
    while ((processed = sd_bus_process(bus, nullptr)) > 0) {
    }
    if (processed < 0) {
        linux::connectionLost("the D-Bus session bus");
    }
}

} // namespace dwellmark::platform::wayland
