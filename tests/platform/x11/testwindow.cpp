// A top-level window owned by its own process, named as the options say:
//   x11_test_window [--net-name BYTES] [--latin1-name TEXT] [--compound-name TEXT]
//                   [--no-pid] [--machine NAME | --no-machine]
// It prints its window id and then obeys its standard input: "destroy"
// destroys the window (and answers "destroyed"); end of input ends it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

// UTF-8 text (code points up to U+00FF) as ISO 8859-1 bytes.
std::string toLatin1(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte & 0xE0U) == 0xC0U && i + 1 < utf8.size()) {
            out.push_back(static_cast<char>(((byte & 0x1FU) << 6U) | (static_cast<unsigned char>(utf8[++i]) & 0x3FU)));
        } else {
            out.push_back(static_cast<char>(byte));
        }
    }
    return out;
}

void setBytes(Display* display, Window window, const char* property, Atom type, const std::string& bytes) {
    XChangeProperty(display, window, XInternAtom(display, property, False), type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x11_test_window: no display\n", stderr);
        return 1;
    }
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 100, 0, 0, 0);
    bool pid = true;
    bool machine = true;
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::string machineName = host;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--net-name") {
            setBytes(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False), value);
            ++i;
        } else if (option == "--latin1-name") {
            setBytes(display, window, "WM_NAME", XA_STRING, toLatin1(value));
            ++i;
        } else if (option == "--compound-name") {
            char* list[] = {const_cast<char*>(value.c_str())};
            XTextProperty text{};
            if (Xutf8TextListToTextProperty(display, list, 1, XCompoundTextStyle, &text) < Success) {
                std::fputs("x11_test_window: no COMPOUND_TEXT conversion\n", stderr);
                return 1;
            }
            XSetWMName(display, window, &text);
            XFree(text.value);
            ++i;
        } else if (option == "--no-pid") {
            pid = false;
        } else if (option == "--machine") {
            machineName = value;
            ++i;
        } else if (option == "--no-machine") {
            machine = false;
        } else {
            std::fprintf(stderr, "x11_test_window: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (pid) {
        const long own = getpid();
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&own), 1);
    }
    if (machine) {
        setBytes(display, window, "WM_CLIENT_MACHINE", XA_STRING, machineName);
    }
    XMapWindow(display, window);
    XSync(display, False);
    std::cout << window << std::endl;

    std::string command;
    while (std::getline(std::cin, command)) {
        if (command == "destroy") {
            XDestroyWindow(display, window);
            XSync(display, False);
            std::cout << "destroyed" << std::endl;
        }
    }
    XCloseDisplay(display);
    return 0;
}
