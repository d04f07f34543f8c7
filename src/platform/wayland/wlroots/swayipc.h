// A client of sway's IPC socket, for what the Wayland protocol does not tell.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace dwellmark::platform::wayland {

/// Asks sway (at the socket that $SWAYSOCK names) for its layout tree. The
/// connection is made on the first question and made again after a failure.
/// Each question waits for its answer, at most a second: it is asked once per
/// window, when the window is first seen, never on every tick.
class SwayIpc final {
public:
    explicit SwayIpc(std::string socketPath);
    ~SwayIpc();

    SwayIpc(const SwayIpc&) = delete;
    SwayIpc& operator=(const SwayIpc&) = delete;

    /// sway's answer to get_tree, or nothing when sway cannot be asked or its
    /// answer is not JSON.
    std::optional<nlohmann::json> layoutTree();

private:
    bool connect();
    void disconnect();
    bool sendAll(const std::string& bytes);
    bool receiveAll(char* into, std::size_t size);

    std::string m_socketPath;
    int m_socket = -1;
};

} // namespace dwellmark::platform::wayland
