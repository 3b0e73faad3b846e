// Asks a window to close the way a window manager does: a WM_PROTOCOLS client message carrying
// WM_DELETE_WINDOW. Used by the headless run and the end-to-end tests, where no window manager
// runs. Usage: close_window <window title> [process id]; with a process id only a window that
// process owns (_NET_WM_PID) is chosen, so parallel test runs do not close each other's games.
// Exit status 0 once the request is sent, 1 when no such window exists.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
long OwnerPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None) {
        return -1;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &remaining, &data) == Success &&
        data != nullptr) {
        if (count == 1 && format == 32) {
            pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
        }
        XFree(data);
    }
    return pid;
}

Window FindByTitle(Display* display, Window window, const char* title, long pid) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        const bool match = std::strcmp(name, title) == 0;
        XFree(name);
        if (match && (pid < 0 || OwnerPid(display, window) == pid)) {
            return window;
        }
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        return 0;
    }
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        found = FindByTitle(display, children[i], title, pid);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: close_window <window title> [process id]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "close_window: cannot open the display\n");
        return 2;
    }
    const long pid = argc == 3 ? std::strtol(argv[2], nullptr, 10) : -1;
    const Window target = FindByTitle(display, DefaultRootWindow(display), argv[1], pid);
    if (target == 0) {
        std::fprintf(stderr, "close_window: no window titled \"%s\"\n", argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return 0;
}
