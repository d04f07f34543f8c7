// Finds the process of a window in sway's layout tree.
#include "swayviews.h"

#include <vector>

namespace dwellmark::platform::wayland {

namespace {

struct View {
    long pid = 0;
    std::string_view appId;
    std::string_view title;
    bool focused = false;
};

void collectViews(const JsonValue& node, std::vector<View>& views) {
    const JsonValue* pid = node.member("pid");
    const JsonValue* appId = node.member("app_id");
    // Only views have a process; Xwayland views have no app id and are not
    // among the windows of the Wayland protocol anyway.
    if (pid != nullptr && appId != nullptr && appId->kind() == JsonValue::Kind::String) {
        const JsonValue* name = node.member("name");
        const JsonValue* focused = node.member("focused");
        views.push_back(View{static_cast<long>(pid->number()), appId->string(),
                             name != nullptr ? std::string_view(name->string()) : std::string_view(),
                             focused != nullptr && focused->boolean()});
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        if (const JsonValue* list = node.member(children)) {
            for (const JsonValue& child : list->items()) {
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

long findViewPid(const JsonValue& tree, const ViewQuery& query) {
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
