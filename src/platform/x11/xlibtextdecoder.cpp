#include "platform/x11/xlibtextdecoder.h"

#include "platform/linux/lostconnection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <utility>
#include <vector>

namespace dwellmark::platform::x11 {

using linux::connectionLost;

namespace {

void lostDuringDecoding(Display* /*display*/, void* /*data*/) {
    connectionLost("the X server");
}

} // namespace

XlibTextDecoder::XlibTextDecoder(std::string displayName) : m_displayName(std::move(displayName)) {}

XlibTextDecoder::~XlibTextDecoder() {
    if (m_display != nullptr) {
        XCloseDisplay(m_display);
    }
}

std::string XlibTextDecoder::toUtf8(std::string_view bytes, std::uint32_t encoding) {
    if (bytes.empty()) {
        return {};
    }
    if (m_display == nullptr && !m_unavailable) {
        m_display = XOpenDisplay(m_displayName.c_str());
        m_unavailable = m_display == nullptr;
        if (m_display != nullptr) {
            // The X library would otherwise end the process with its own
            // message when the server goes away in the middle of a lookup.
            XSetIOErrorExitHandler(m_display, &lostDuringDecoding, nullptr);
        }
    }
    if (m_display == nullptr) {
        return {};
    }
    std::vector<unsigned char> value(bytes.begin(), bytes.end());
    XTextProperty property{};
    property.value = value.data();
    property.encoding = encoding;
    property.format = 8;
    property.nitems = value.size();
    char** list = nullptr;
    int count = 0;
    // A positive result counts characters that had no UTF-8 form and were
    // replaced; the rest of the text is still good.
    const int status = Xutf8TextPropertyToTextList(m_display, &property, &list, &count);
    std::string text;
    if (status >= Success && list != nullptr && count > 0 && list[0] != nullptr) {
        text = list[0];
    }
    if (list != nullptr) {
        XFreeStringList(list);
    }
    return text;
}

} // namespace dwellmark::platform::x11
