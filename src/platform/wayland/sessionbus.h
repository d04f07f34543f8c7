// What the backends that listen on the D-Bus session bus share.
#pragma once

struct sd_bus;

namespace dwellmark::platform::wayland {

/// Handles every message the bus has read, without blocking; a broken bus
/// ends the program like a lost display connection.
void processSessionBus(sd_bus* bus);

} // namespace dwellmark::platform::wayland
