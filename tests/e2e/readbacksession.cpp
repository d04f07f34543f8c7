// The real program on a private X server and private buses, driven by the test and read back over AT-SPI.
#include "readbacksession.h"

#include <chrono>

namespace dwellmark::testing {

namespace {

using namespace std::chrono_literals;

std::vector<std::string> programEnvironment(const AccessibilityBus& bus, const PrivateDisplay& display,
                                            const std::vector<std::string>& extra) {
    std::vector<std::string> environment = bus.clientEnvironment();
    environment.insert(environment.end(), {"XDG_SESSION_TYPE=x11", "-WAYLAND_DISPLAY", "-QT_QPA_PLATFORM",
                                           "-SESSION_MANAGER", "-SWAYSOCK", "DISPLAY=" + display.display()});
    environment.insert(environment.end(), extra.begin(), extra.end());
    return environment;
}

} // namespace

ReadBackSession::ReadBackSession(const std::string& program, const std::vector<std::string>& environment)
    : m_program({program}, programEnvironment(m_bus, m_display, environment)), m_user(m_display.display()),
      m_reader(m_bus.accessibilityAddress()) {}

std::string ReadBackSession::waitForMainWindow() {
    if (!m_bus.ready()) {
        return "the accessibility bus did not start";
    }
    if (!eventually([&] { return m_user.findWindow("Dwellmark") != 0; }, 120s)) {
        const auto status = m_program.waitForExit(0ms);
        return "no window \"Dwellmark\"; the program " +
               (status ? "ended, standard error:\n" + m_program.errorOutput() : std::string("is still running"));
    }
    m_mainWindow = m_user.findWindow("Dwellmark");
    return {};
}

bool ReadBackSession::activate(std::uint32_t window) {
    return eventually(
        [&] {
            if (m_user.activeWindow() != window) {
                m_user.requestActivation(window);
                m_user.sync();
            }
            return m_user.activeWindow() == window;
        },
        120s);
}

bool ReadBackSession::read() {
    const auto read = m_reader.application(m_program.pid());
    if (!read || read->tables.size() != 2) {
        return false;
    }
    m_shown = *read;
    return true;
}

bool ReadBackSession::logGrows(std::size_t before, const std::string& lastTitle, std::chrono::seconds limit) {
    return eventually(
        [&] {
            const bool readNow = read();
            const auto& rows = logRows();
            return readNow && rows.size() > before && rows.back().size() == 6 && rows.back()[1] == lastTitle;
        },
        limit);
}

std::optional<std::chrono::steady_clock::time_point>
ReadBackSession::openStretchOf(std::uint32_t first, std::uint32_t second, const std::string& firstTitle) {
    std::chrono::steady_clock::time_point secondAsked;
    const bool opened = eventually(
        [&] {
            read();
            const std::size_t logged = logRows().size();
            if (!activate(first)) {
                return false;
            }
            secondAsked = std::chrono::steady_clock::now();
            return activate(second) && logGrows(logged, firstTitle, 30s);
        },
        300s);
    return opened ? std::optional(secondAsked) : std::nullopt;
}

std::optional<ReadBackSession::OmegaInFront> ReadBackSession::putOmegaInFront() {
    OmegaInFront start;
    start.main = m_mainWindow;
    if (!activate(start.main)) {
        return std::nullopt;
    }
    start.alpha = m_user.createWindow("Alpha", true);
    start.omega = m_user.createWindow("Omega", true);
    // The window manager may give each new window the foreground as it takes
    // it on: that is over before the test asks for either.
    if (!eventually([&] { return m_user.framed(start.alpha) && m_user.framed(start.omega); }, 120s)) {
        return std::nullopt;
    }
    const auto omegaAsked = openStretchOf(start.alpha, start.omega, "Alpha");
    if (!omegaAsked) {
        return std::nullopt;
    }
    start.omegaAsked = *omegaAsked;
    start.omegaSeen = std::chrono::steady_clock::now();
    start.rowsBefore = logRows().size();
    return start;
}

const std::vector<std::vector<std::string>>& ReadBackSession::logRows() const {
    static const std::vector<std::vector<std::string>> none;
    return m_shown.tables.empty() ? none : m_shown.tables[0].rows;
}

std::string ReadBackSession::describe() {
    // Tables that stopped changing may be those of a program that has ended or hangs.
    const bool ended = m_program.waitForExit(std::chrono::milliseconds(0)).has_value();
    std::string text = ended ? "\n the program has ended;" : "\n the program runs;";
    text += " its standard error:\n" + m_program.errorOutput() + " the tables as last read:";
    for (const auto& table : m_shown.tables) {
        for (const auto& row : table.rows) {
            text += "\n ";
            for (const auto& cell : row) {
                text += " [" + cell + "]";
            }
        }
    }
    return text;
}

} // namespace dwellmark::testing
