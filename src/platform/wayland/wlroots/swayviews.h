// Finds the process of a window in sway's layout tree.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

namespace dwellmark::platform::wayland {

/// What the foreign-toplevel events tell of a window, to find it among sway's views.
struct ViewQuery {
    std::string_view appId;
    std::string_view title;
    bool focused = false;
};

/// sway's tree as a get_tree reply holds it, or nothing when the reply is not
/// valid JSON. The reply comes from another process: nothing in it may crash
/// the program.
std::optional<nlohmann::json> readLayoutTree(std::string_view reply);

/// The process of the view in sway's tree (a get_tree reply) that the query
/// names, 0 when none or several processes fit. Views are matched on app id,
/// then on title, then on focus; the events carry no id of sway's, so two
/// windows alike in all three cannot be told apart, and get no process.
long findViewPid(const nlohmann::json& tree, const ViewQuery& query);

} // namespace dwellmark::platform::wayland
