// Finds the process of a window in sway's layout tree.
#include "platform/wayland/wlroots/swayviews.h"

#include <cstdint>
#include <vector>

namespace dwellmark::platform::wayland {

namespace {

struct View {
    long pid = 0;
    std::string_view appId;
    std::string_view title;
    bool focused = false;
};

// The member of that name, when the node is an object that has it; nullptr otherwise.
const nlohmann::json* member(const nlohmann::json& node, const char* name) {
    if (!node.is_object()) {
        return nullptr;
    }
    const auto it = node.find(name);
    return it != node.end() ? &*it : nullptr;
}

// A process id is a whole number above 0 that fits a pid_t; anything else in
// its place (a fraction, a huge number, a string) names no process.
long processId(const nlohmann::json* value) {
    constexpr long largest = 0x7fffffff;
    if (value != nullptr && value->is_number_integer()) {
        const auto pid = value->get<std::int64_t>();
        return pid > 0 && pid <= largest ? static_cast<long>(pid) : 0L;
    }
    return 0L;
}

std::string_view text(const nlohmann::json* value) {
    return value != nullptr && value->is_string() ? std::string_view(value->get_ref<const std::string&>())
                                                  : std::string_view();
}

void collectViews(const nlohmann::json& node, std::vector<View>& views) {
    const nlohmann::json* pid = member(node, "pid");
    const nlohmann::json* appId = member(node, "app_id");
    // Only views have a process; Xwayland views have no app id and are not
    // among the windows of the Wayland protocol anyway.
    if (pid != nullptr && appId != nullptr && appId->is_string()) {
        const nlohmann::json* focused = member(node, "focused");
        views.push_back(View{processId(pid), text(appId), text(member(node, "name")),
                             focused != nullptr && focused->is_boolean() && focused->get<bool>()});
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        if (const nlohmann::json* list = member(node, children); list != nullptr && list->is_array()) {
            for (const nlohmann::json& child : *list) {
                collectViews(child, views);
            }
        }
    }
}

// The one process that all views share; 0 when there are none or several.
long onlyPid(const std::vector<View>& views) {
    long pid = 0;
    for (const View& view : views) {
        if (view.pid <= 0 || (pid != 0 && view.pid != pid)) {
            return 0;
        }
        pid = view.pid;
    }
    return pid;
}

template <class Keep>
std::vector<View> narrowed(const std::vector<View>& views, Keep keep) {
    std::vector<View> kept;
    for (const View& view : views) {
        if (keep(view)) {
            kept.push_back(view);
        }
    }
    return kept;
}

} // namespace

std::optional<nlohmann::json> readLayoutTree(std::string_view reply) {
    // sway's trees nest a few levels per output and workspace; far deeper is
    // no tree of sway's, and would only be followed down the stack.
    constexpr int maxDepth = 200;
    struct TooDeep {};
    try {
        return nlohmann::json::parse(reply, [](int depth, nlohmann::json::parse_event_t, const nlohmann::json&) {
            if (depth > maxDepth) {
                throw TooDeep{};
            }
            return true;
        });
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    } catch (const TooDeep&) {
        return std::nullopt;
    }
}

long findViewPid(const nlohmann::json& tree, const ViewQuery& query) {
    std::vector<View> views;
    collectViews(tree, views);
    auto candidates = narrowed(views, [&](const View& view) { return view.appId == query.appId; });
    if (candidates.empty() || onlyPid(candidates) != 0) {
        return onlyPid(candidates);
    }
    candidates = narrowed(candidates, [&](const View& view) { return view.title == query.title; });
    if (candidates.size() <= 1 || onlyPid(candidates) != 0) {
        return onlyPid(candidates);
    }
    return onlyPid(narrowed(candidates, [&](const View& view) { return view.focused == query.focused; }));
}

} // namespace dwellmark::platform::wayland
