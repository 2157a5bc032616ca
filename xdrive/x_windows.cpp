// Window lookups, geometry and the messages a window manager handles, through Xlib.
#include <algorithm>

#include "internal.h"

namespace {

Window findBelow(Display* display, Window window, const char* title) {
    char* name = nullptr;
    const bool match = XFetchName(display, window, &name) && std::string(name) == title;
    XFree(name);
    if (match) {
        return window;
    }
    for (Window child : childrenOf(display, window)) {
        if (const Window found = findBelow(display, child, title)) {
            return found;
        }
    }
    return 0;
}

// A client message about the window, sent to `to` with the event mask.
void sendMessage(Display* display, Window window, const char* type, std::vector<long> data,
                 Window to, long mask) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    std::copy(data.begin(), data.end(), event.xclient.data.l);
    XSendEvent(display, to, False, mask, &event);
    XSync(display, False);
}

long atom(Display* display, const char* name) {
    return static_cast<long>(XInternAtom(display, name, False));
}

}  // namespace

Window findByTitle(Display* display, const char* title) {
    return findBelow(display, DefaultRootWindow(display), title);
}

std::vector<Window> childrenOf(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (window != 0 && XQueryTree(display, window, &root, &parent, &children, &count)) {
        result.assign(children, children + count);
        XFree(children);
    }
    return result;
}

bool isViewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return window != 0 && XGetWindowAttributes(display, window, &attributes) &&
           attributes.map_state == IsViewable;
}

Box geometryOf(Display* display, Window window) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (window == 0 ||
        !XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth)) {
        return {};
    }
    return {x, y, static_cast<int>(width), static_cast<int>(height)};
}

Box onScreen(Display* display, Window window, Box area) {
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), area.x, area.y, &area.x,
                          &area.y, &child);
    return area;
}

void resizeWindow(Display* display, Window window, int width, int height) {
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
}

// What a frame's button sends (_NET_WM_STATE): add, or remove, both ways of
// maximizing, from an application; the window manager then resizes its way.
void setMaximized(Display* display, Window window, bool maximized) {
    sendMessage(display, window, "_NET_WM_STATE",
                {maximized ? 1 : 0, atom(display, "_NET_WM_STATE_MAXIMIZED_VERT"),
                 atom(display, "_NET_WM_STATE_MAXIMIZED_HORZ"), 1},
                DefaultRootWindow(display), SubstructureRedirectMask | SubstructureNotifyMask);
}

void askToClose(Display* display, Window window) {
    sendMessage(display, window, "WM_PROTOCOLS", {atom(display, "WM_DELETE_WINDOW"), CurrentTime},
                window, NoEventMask);
}
