// The windows of KDE Plasma (KWin), as Dwellmark's KWin script reports them over D-Bus.
#include "platform/wayland/kde/kwinscriptwindowsystem.h"

#include "platform/linux/lostconnection.h"
#include "platform/platformerror.h"
#include "platform/wayland/sessionbus.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <systemd/sd-bus.h>
#include <vector>

namespace dwellmark::platform::wayland {

namespace {

// Where the script calls; it names them itself.
constexpr const char* objectPath = "/org/dwellmark/KWin";
constexpr const char* interfaceName = "org.dwellmark.KWin";

constexpr const char* kwinName = "org.kde.KWin";
constexpr const char* scriptingPath = "/Scripting";
constexpr const char* scriptingInterface = "org.kde.kwin.Scripting";
constexpr const char* scriptInterface = "org.kde.kwin.Script";

// KWin reads the script in a thread of its own and answers on its event loop:
// quick on any desktop, but a limit keeps a stuck KWin from holding the start.
constexpr std::chrono::seconds firstReportLimit(20);
constexpr std::chrono::seconds callLimit(10);

// The script sends every value as text, so that the signature does not depend
// on how KWin's JavaScript engine types a number.
long pidFromText(std::string_view text) {
    long pid = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    return error == std::errc() && end == text.data() + text.size() && pid > 0 ? pid : 0;
}

/// One call to KWin; whether it was answered without an error. The reply, when
/// asked for, is the caller's to release.
template <class... Arguments>
bool callKwin(sd_bus* bus, const std::string& path, const char* interface, const char* method, sd_bus_message** reply,
              const char* types, Arguments... arguments) {
    sd_bus_error error{}; // SD_BUS_ERROR_NULL is a C compound literal
    const int called =
        sd_bus_call_method(bus, kwinName, path.c_str(), interface, method, &error, reply, types, arguments...);
    sd_bus_error_free(&error);
    return called >= 0;
}

bool unloadScript(sd_bus* bus, const char* plugin = KwinScriptWindowSystem::pluginName) {
    return callKwin(bus, scriptingPath, scriptingInterface, "unloadScript", nullptr, "s", plugin);
}

bool scriptLoaded(sd_bus* bus, const char* plugin) {
    sd_bus_message* reply = nullptr;
    int loaded = 0;
    const bool answered = callKwin(bus, scriptingPath, scriptingInterface, "isScriptLoaded", &reply, "s", plugin) &&
                          sd_bus_message_read(reply, "b", &loaded) >= 0;
    sd_bus_message_unref(reply);
    return answered && loaded != 0;
}

/// The number KWin gives the script it loads; -1 when it loads none.
int loadScript(sd_bus* bus, const char* file, const char* plugin) {
    sd_bus_message* reply = nullptr;
    std::int32_t id = -1;
    if (!callKwin(bus, scriptingPath, scriptingInterface, "loadScript", &reply, "ss", file, plugin) ||
        sd_bus_message_read(reply, "i", &id) < 0) {
        id = -1;
    }
    sd_bus_message_unref(reply);
    return id;
}

/// The numbers of the script objects KWin has on the bus (Plasma 5 at /N,
/// Plasma 6 at /Scripting/ScriptN), read from its object tree.
std::set<int> scriptObjects(sd_bus* bus) {
    std::set<int> numbers;
    for (const auto& [path, prefix] : {std::pair{"/", ""}, std::pair{scriptingPath, "Script"}}) {
        sd_bus_message* reply = nullptr;
        const char* xml = nullptr;
        if (callKwin(bus, path, "org.freedesktop.DBus.Introspectable", "Introspect", &reply, "") &&
            sd_bus_message_read(reply, "s", &xml) >= 0) {
            const std::string_view tree(xml);
            constexpr std::string_view node = "<node name=\"";
            for (auto at = tree.find(node); at != std::string_view::npos; at = tree.find(node, at + 1)) {
                const auto start = at + node.size();
                std::string_view name = tree.substr(start, tree.find('"', start) - start);
                if (!name.starts_with(prefix)) {
                    continue;
                }
                name.remove_prefix(std::string_view(prefix).size());
                int number = -1;
                const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
                if (error == std::errc() && end == name.data() + name.size() && !name.empty()) {
                    numbers.insert(number);
                }
            }
        }
        sd_bus_message_unref(reply);
    }
    return numbers;
}

} // namespace

/// The handler of the script's calls: it hands the reports to the list.
struct KwinScriptEvents {
    static int message(sd_bus_message* message, void* data, sd_bus_error* /*error*/) {
        auto* self = static_cast<KwinScriptWindowSystem*>(data);
        const char* id = nullptr;
        const char* caption = nullptr;
        const char* resourceClass = nullptr;
        const char* pid = nullptr;
        int read = -1;
        if (sd_bus_message_is_method_call(message, interfaceName, "Activated") > 0) {
            read = sd_bus_message_read(message, "ssss", &id, &caption, &resourceClass, &pid);
            if (read >= 0) {
                self->m_focus.activated(KwinFocusList::Window{id, caption, resourceClass, pidFromText(pid)});
                self->m_heard = true;
            }
        } else if (sd_bus_message_is_method_call(message, interfaceName, "CaptionChanged") > 0) {
            read = sd_bus_message_read(message, "ss", &id, &caption);
            if (read >= 0) {
                self->m_focus.captionChanged(id, caption);
            }
        } else if (sd_bus_message_is_method_call(message, interfaceName, "Removed") > 0) {
            read = sd_bus_message_read(message, "s", &id);
            if (read >= 0) {
                self->m_focus.removed(id);
            }
        } else {
            // Not ours: sd-bus answers that the method is unknown.
            return 0;
        }
        if (read < 0) {
            return sd_bus_reply_method_errorf(message, "org.freedesktop.DBus.Error.InvalidArgs",
                                              "unexpected arguments");
        }
        sd_bus_reply_method_return(message, "");
        return 1;
    }
};

bool KwinScriptWindowSystem::kwinOnBus() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) {
        return false;
    }
    const bool answers = callKwin(bus, scriptingPath, scriptingInterface, "isScriptLoaded", nullptr, "s", pluginName);
    sd_bus_flush_close_unref(bus);
    return answers;
}

std::string KwinScriptWindowSystem::findScript() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    for (const std::filesystem::path& folder :
         {program.parent_path(), program.parent_path() / DWELLMARK_KWIN_SCRIPT_DIR}) {
        const std::filesystem::path script = (folder / scriptFileName).lexically_normal();
        if (std::filesystem::is_regular_file(script, error)) {
            return script.string();
        }
    }
    return {};
}

KwinScriptWindowSystem::KwinScriptWindowSystem(std::unique_ptr<WaylandDisplay> connection,
                                               const std::string& scriptPath)
    : WaylandWindowSystem(std::move(connection)), m_focus(toplevels()) {
    if (sd_bus_open_user(&m_bus) < 0) {
        m_bus = nullptr;
        throw PlatformError("cannot reach the D-Bus session bus to hear from KWin");
    }
    sd_bus_set_method_call_timeout(m_bus, std::chrono::microseconds(callLimit).count());
    // The object first, then the name: the script's first call finds both.
    if (sd_bus_add_object(m_bus, &m_object, objectPath, &KwinScriptEvents::message, this) < 0 ||
        sd_bus_request_name(m_bus, busName, 0) < 0) {
        close();
        throw PlatformError(std::string("cannot own ") + busName +
                            " on the D-Bus session bus (does another Dwellmark run?)");
    }
    // A script that a Dwellmark which did not end cleanly left loaded; the
    // name is ours, so that Dwellmark is gone.
    unloadScript(m_bus);
    const int id = loadOwnScript(scriptPath);
    m_loaded = id >= 0;
    // Run through its own object (Plasma 5 at /ID, Plasma 6 under /Scripting):
    // Scripting.start would also run every other program's script that is
    // loaded and not running yet.
    const auto run = [&](const std::string& path) {
        return callKwin(m_bus, path, scriptInterface, "run", nullptr, "");
    };
    if (!m_loaded ||
        !(run(std::string(scriptingPath) + "/Script" + std::to_string(id)) || run("/" + std::to_string(id)))) {
        close();
        throw PlatformError("KWin does not run Dwellmark's script " + scriptPath);
    }
    // The script names the active window as it starts.
    const auto limit = std::chrono::steady_clock::now() + firstReportLimit;
    while (!m_heard) {
        const int processed = sd_bus_process(m_bus, nullptr);
        if (processed > 0) {
            continue;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(limit - std::chrono::steady_clock::now()).count();
        if (processed < 0 || left <= 0 || sd_bus_wait(m_bus, static_cast<std::uint64_t>(left)) < 0) {
            close();
            throw PlatformError("Dwellmark's script in KWin does not report");
        }
    }
    // What came with the first report is read too: the descriptor will not tell of it.
    while (sd_bus_process(m_bus, nullptr) > 0) {
    }
}

int KwinScriptWindowSystem::loadOwnScript(const std::string& scriptPath) {
    // KWin numbers a script by how many are loaded, so after another program
    // unloaded one of its scripts, Dwellmark's number may be one whose object
    // that program's script holds, and Dwellmark's would get none. Scripts
    // that are never run (of no file) then take those numbers first, and go
    // once Dwellmark's has its own.
    const std::set<int> taken = scriptObjects(m_bus);
    int id = loadScript(m_bus, scriptPath.c_str(), pluginName);
    if (id < 0 || taken.count(id) == 0) {
        return id;
    }
    unloadScript(m_bus);
    // KWin lets go of a script on its next turn: each question is one.
    for (int turn = 0; turn < 100 && scriptLoaded(m_bus, pluginName); ++turn) {
    }
    std::vector<std::string> spacers;
    for (int next = id; taken.count(next) != 0 && spacers.size() <= taken.size(); ++next) {
        spacers.push_back(std::string(pluginName) + "-spacer-" + std::to_string(spacers.size()));
        if (loadScript(m_bus, "", spacers.back().c_str()) != next) {
            break;
        }
    }
    id = loadScript(m_bus, scriptPath.c_str(), pluginName);
    for (const std::string& spacer : spacers) {
        unloadScript(m_bus, spacer.c_str());
    }
    if (id >= 0 && taken.count(id) != 0) {
        unloadScript(m_bus);
        return -1;
    }
    return id;
}

KwinScriptWindowSystem::~KwinScriptWindowSystem() {
    close();
}

void KwinScriptWindowSystem::close() {
    if (m_bus == nullptr) {
        return;
    }
    if (m_loaded) {
        unloadScript(m_bus);
        m_loaded = false;
    }
    sd_bus_slot_unref(m_object);
    m_object = nullptr;
    sd_bus_flush_close_unref(m_bus);
    m_bus = nullptr;
}

std::uint64_t KwinScriptWindowSystem::beginTick() {
    // The Wayland connection tells when KWin is gone.
    WaylandWindowSystem::beginTick();
    processSessionBus(m_bus);
    return 0;
}

int KwinScriptWindowSystem::changeDescriptor() const {
    return sd_bus_get_fd(m_bus);
}

bool KwinScriptWindowSystem::hasQueuedChanges() {
    // Every bus message read is handled in beginTick, and nothing waits for a
    // reply after the start but the unloading at the end.
    return WaylandWindowSystem::hasQueuedChanges();
}

} // namespace dwellmark::platform::wayland
