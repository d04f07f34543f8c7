// Reading sway's layout tree: refusing what is no tree, and finding a window's process among sway's views.
#include "platform/wayland/wlroots/swayviews.h"

#include <gtest/gtest.h>
#include <string>

namespace dwellmark::platform::wayland {
namespace {

TEST(ReadLayoutTree, RefusesWhatIsNotJson) {
    for (const char* text : {"", "{", "{\"a\" 1}", "[1,]", "[1 2]", "\"open", "tru", "{} {}", "-", "\"\\u12\""}) {
        EXPECT_FALSE(readLayoutTree(text).has_value()) << text;
    }
    // Nesting far deeper than any reply is refused rather than followed down the stack.
    EXPECT_FALSE(readLayoutTree(std::string(100000, '[')).has_value());
    EXPECT_FALSE(readLayoutTree(std::string(300, '[') + std::string(300, ']')).has_value());
}

// A tree as sway 1.7 answers get_tree, cut to what matters: an output with a
// workspace holding tiled views, one floating view, and an Xwayland view.
const char* const tree = R"({
  "id": 1, "type": "root", "name": "root", "nodes": [
    {"id": 3, "type": "output", "name": "HEADLESS-1", "nodes": [
      {"id": 4, "type": "workspace", "name": "1", "nodes": [
        {"id": 5, "type": "con", "name": "Alpha", "app_id": "editor", "pid": 101, "focused": false, "nodes": []},
        {"id": 6, "type": "con", "name": null, "nodes": [
          {"id": 7, "type": "con", "name": "Notes", "app_id": "terminal", "pid": 202, "focused": true, "nodes": []},
          {"id": 8, "type": "con", "name": "Build", "app_id": "terminal", "pid": 203, "focused": false, "nodes": []},
          {"id": 9, "type": "con", "name": "Build", "app_id": "terminal", "pid": 204, "focused": false, "nodes": []}
        ]}
      ], "floating_nodes": [
        {"id": 10, "type": "floating_con", "name": "Palette", "app_id": "painter", "pid": 303, "focused": false,
         "nodes": []}
      ]}
    ]},
    {"id": 11, "type": "con", "name": "xterm", "app_id": null, "pid": 404, "window": 2097164, "nodes": []}
  ]})";

TEST(FindViewPid, NamesTheProcessOfTheViewThatMatches) {
    const auto parsed = readLayoutTree(tree);
    ASSERT_TRUE(parsed.has_value());
    // The only view of an app id, whatever its title now.
    EXPECT_EQ(findViewPid(*parsed, {"editor", "Alpha", false}), 101);
    EXPECT_EQ(findViewPid(*parsed, {"editor", "renamed since", true}), 101);
    // Floating views count too.
    EXPECT_EQ(findViewPid(*parsed, {"painter", "Palette", false}), 303);
    // Several views of one app id: the title decides...
    EXPECT_EQ(findViewPid(*parsed, {"terminal", "Notes", true}), 202);
    // ...then the focus...
    EXPECT_EQ(findViewPid(*parsed, {"terminal", "Build", true}), 0);
    // ...and views alike in all three get no process rather than a wrong one.
    EXPECT_EQ(findViewPid(*parsed, {"terminal", "Build", false}), 0);
    // No view of that app id, or the Xwayland view (it has none).
    EXPECT_EQ(findViewPid(*parsed, {"absent", "Alpha", true}), 0);
    EXPECT_EQ(findViewPid(*parsed, {"", "xterm", false}), 0);
}

TEST(FindViewPid, TakesOnlyAWholePositiveNumberForAProcess) {
    // What is no process id names no process, and a number beyond any
    // process id is not squeezed into one.
    for (const char* pid : {"1e30", "-5", "0", "12.5", "\"12\"", "18446744073709551615", "4294967297"}) {
        const auto parsed =
            readLayoutTree(std::string(R"({"nodes": [{"app_id": "editor", "name": "Alpha", "pid": )") + pid + "}]}");
        ASSERT_TRUE(parsed.has_value()) << pid;
        EXPECT_EQ(findViewPid(*parsed, {"editor", "Alpha", false}), 0) << pid;
    }
    const auto parsed = readLayoutTree(R"({"nodes": [{"app_id": "editor", "name": "Alpha", "pid": 2147483647}]})");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(findViewPid(*parsed, {"editor", "Alpha", false}), 2147483647);
}

} // namespace
} // namespace dwellmark::platform::wayland
