// XTest keys, key bindings and drags.
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <set>

#include "internal.h"

namespace {

// Keycodes that may be taken over: unbound ones, and the multimedia keys, which no test presses.
bool isSpare(const KeySym* syms, int perCode) {
    return std::all_of(syms, syms + perCode, [](KeySym s) {
        return s == NoSymbol || (s & 0xffff0000) == 0x10080000;  // XF86 keysyms
    });
}

// The keysym's keycode, and the modifiers its level needs: Shift for the second, AltGr for the
// third and fourth, where layouts keep their own letters (a German keyboard's euro); 0 for none.
KeyCode codeFor(Display* display, const KeyBindings& bound, KeySym key, std::vector<KeySym>& held) {
    if (auto found = bound.find(key); found != bound.end()) {
        return found->second;
    }
    const KeyCode code = XKeysymToKeycode(display, key);
    for (unsigned level = 0; code != 0 && level < 4; ++level) {
        if (XkbKeycodeToKeysym(display, code, 0, level) == key) {
            if (level & 1) {
                held.push_back(XK_Shift_L);
            }
            if (level & 2) {
                held.push_back(XK_ISO_Level3_Shift);
            }
            return code;
        }
    }
    return 0;
}

}  // namespace

bool bindKeys(Display* display, const std::vector<KeySym>& keys, KeyBindings& bound) {
    int min = 0, max = 0, perCode = 0;
    XDisplayKeycodes(display, &min, &max);
    const int count = max - min + 1;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(min), count, &perCode);
    // Reachable without a modifier other than Shift: the first two columns.
    std::set<KeySym> present;
    for (int i = 0; i < count; ++i) {
        present.insert({map[i * perCode], map[i * perCode + 1]});
    }
    int code = max;
    for (KeySym key : keys) {
        while (code >= min && !isSpare(map + (code - min) * perCode, perCode)) {
            --code;
        }
        if (present.count(key) == 0 && bound.count(key) == 0 && code >= min) {
            // The same keysym on every level, so no modifier is needed to reach it.
            std::fill_n(map + (code - min) * perCode, perCode, key);
            XChangeKeyboardMapping(display, code, perCode, map + (code - min) * perCode, 1);
            bound[key] = static_cast<KeyCode>(code--);
        }
    }
    XFree(map);
    XSync(display, False);
    return std::all_of(keys.begin(), keys.end(), [&](KeySym key) {
        return present.count(key) != 0 || bound.count(key) != 0;
    });
}

bool pressKey(Display* display, const KeyBindings& bound, KeySym key,
              const std::vector<KeySym>& modifiers) {
    std::vector<KeySym> held = modifiers;
    const KeyCode code = codeFor(display, bound, key, held);
    if (code == 0) {
        return false;
    }
    for (KeySym modifier : held) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), True, CurrentTime);
    }
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    for (auto m = held.rbegin(); m != held.rend(); ++m) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, *m), False, CurrentTime);
    }
    XSync(display, False);
    return true;
}

bool typeText(Display* display, const KeyBindings& bound, const std::string& latin1) {
    std::vector<KeySym> keys;
    for (unsigned char c : latin1) {
        const bool printable = (c >= 0x20 && c < 0x7f) || c >= 0xa0;  // keysym == code
        const KeySym named = c == '\n'   ? XK_Return
                             : c == '\t' ? XK_Tab
                             : c == '\b' ? XK_BackSpace
                                         : 0;
        if (!printable && named == 0) {
            return false;
        }
        keys.push_back(printable ? KeySym{c} : named);
    }
    return std::all_of(keys.begin(), keys.end(),
                       [&](KeySym key) { return pressKey(display, bound, key, {}); });
}

void focus(Display* display, Window window) {
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
}

void drag(Display* display, Window window, const Box& area, int fromX, int fromY, int toX, int toY,
          unsigned button) {
    const auto movePointer = [&](int x, int y) {
        const Box at = onScreen(display, window, {area.x + x, area.y + y, 0, 0});
        XTestFakeMotionEvent(display, DefaultScreen(display), at.x, at.y, CurrentTime);
        XSync(display, False);
    };
    constexpr int steps = 8;
    movePointer(fromX, fromY);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    for (int i = 1; i <= steps; ++i) {
        movePointer(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    }
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
}
