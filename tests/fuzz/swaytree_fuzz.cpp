// sway's get_tree replies come from another process: whatever they hold,
// reading them and looking for a window's process in them must not crash.
#include "platform/wayland/wlroots/swayviews.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dwellmark::platform::wayland;
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    if (const auto tree = readLayoutTree(reply)) {
        findViewPid(*tree, ViewQuery{"terminal", "Notes", true});
        findViewPid(*tree, ViewQuery{"", "", false});
    }
    return 0;
}
