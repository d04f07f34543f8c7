// Finds the process of a window in sway's layout tree.
#pragma once

#include "jsonvalue.h"

#include <string_view>

namespace dwellmark::platform::wayland {

/// What the foreign-toplevel events tell of a window, to find it among sway's views.
struct ViewQuery {
    std::string_view appId;
    std::string_view title;
    bool focused = false;
};

/// The process of the view in sway's tree (a get_tree reply) that the query
/// names, 0 when none or several processes fit. Views are matched on app id,
/// then on title, then on focus; the events carry no id of sway's, so two
/// windows alike in all three cannot be told apart, and get no process.
long findViewPid(const JsonValue& tree, const ViewQuery& query);

} // namespace dwellmark::platform::wayland
