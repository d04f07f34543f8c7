// A client of sway's IPC socket, for what the Wayland protocol does not tell.
#include "platform/wayland/wlroots/swayipc.h"

#include "platform/wayland/wlroots/swayviews.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace dwellmark::platform::wayland {

namespace {

// The frame of every message: this magic, then the payload's length and the
// message type, both 32-bit in the machine's own byte order.
constexpr std::string_view magic = "i3-ipc";
constexpr std::uint32_t getTree = 4;
constexpr std::size_t headerSize = magic.size() + 8;
// A tree of a few hundred windows is well under a megabyte.
constexpr std::uint32_t maxReply = 64U * 1024U * 1024U;
constexpr int waitMilliseconds = 1000;

} // namespace

SwayIpc::SwayIpc(std::string socketPath) : m_socketPath(std::move(socketPath)) {}

SwayIpc::~SwayIpc() {
    disconnect();
}

bool SwayIpc::connect() {
    if (m_socket >= 0) {
        return true;
    }
    sockaddr_un address{};
    if (m_socketPath.empty() || m_socketPath.size() >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, m_socketPath.data(), m_socketPath.size());
    m_socket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socket < 0) {
        return false;
    }
    // A local socket connects at once or not at all.
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        disconnect();
        return false;
    }
    return true;
}

void SwayIpc::disconnect() {
    if (m_socket >= 0) {
        close(m_socket);
        m_socket = -1;
    }
}

bool SwayIpc::sendAll(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(m_socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        pollfd wait{m_socket, POLLOUT, 0};
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (n < 0 && errno == EAGAIN && poll(&wait, 1, waitMilliseconds) <= 0) {
            return false;
        }
    }
    return true;
}

bool SwayIpc::receiveAll(char* into, std::size_t size) {
    std::size_t received = 0;
    while (received < size) {
        const ssize_t n = recv(m_socket, into + received, size - received, 0);
        if (n > 0) {
            received += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            return false;
        }
        pollfd wait{m_socket, POLLIN, 0};
        if (errno == EAGAIN && poll(&wait, 1, waitMilliseconds) <= 0) {
            return false;
        }
    }
    return true;
}

std::optional<nlohmann::json> SwayIpc::layoutTree() {
    // A connection that sway closed (a restart, say) fails once, then is made anew.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!connect()) {
            return std::nullopt;
        }
        std::string request(magic);
        const std::array<std::uint32_t, 2> fields{0, getTree};
        request.append(reinterpret_cast<const char*>(fields.data()), sizeof fields);
        std::array<char, headerSize> header{};
        if (!sendAll(request) || !receiveAll(header.data(), header.size()) ||
            std::string_view(header.data(), magic.size()) != magic) {
            disconnect();
            continue;
        }
        std::uint32_t length = 0;
        std::uint32_t type = 0;
        std::memcpy(&length, header.data() + magic.size(), sizeof length);
        std::memcpy(&type, header.data() + magic.size() + 4, sizeof type);
        std::string payload(length <= maxReply ? length : 0U, '\0');
        if (length > maxReply || type != getTree || !receiveAll(payload.data(), payload.size())) {
            disconnect();
            return std::nullopt;
        }
        return readLayoutTree(payload);
    }
    return std::nullopt;
}

} // namespace dwellmark::platform::wayland
