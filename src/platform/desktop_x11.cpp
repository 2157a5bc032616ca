// The desktop on X11: fonts found through fontconfig, as every Linux desktop
// program finds them, and the X errors the program lives through or ends on.
// Started from a terminal, it writes there; there is nowhere else to write.
#include <X11/Xlib.h>
#include <X11/Xproto.h>  // X_GetImage
#include <fontconfig/fontconfig.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/desktop.h"

namespace {

XErrorHandler previousHandler = nullptr;

// Mesa's softpipe reads a single-buffered window back with XGetImage after
// each resize, and the server answers BadMatch while any of the window lies
// past the screen or past its parent: in a window grown beyond the screen, or
// for a moment in a window manager's maximize, when the window has grown and
// its frame not yet. Xlib's default handler would end the program there. The
// picture read back is only what the next frame starts from, and every frame
// of that window clears it whole.
int passRefusedReadBack(Display* display, XErrorEvent* error) {
    if (error->request_code == X_GetImage && error->error_code == BadMatch) {
        return 0;
    }
    return previousHandler(display, error);
}

// The server has ended or the connection to it has dropped. Xlib's own handler
// calls exit(), and freeglut's teardown at exit then waits for ever on a lock
// of the GL driver that the request which met the loss still holds. With no
// display there is nothing left to draw or to save, so nothing is torn down.
// A request written to the dropped connection, rather than a reply read from
// it, comes here too, where SIGPIPE would have ended the program unsaid.
int leaveLostDisplay(Display* display) {
    std::fprintf(stderr, "gltextdemo: lost the connection to display %s\n", DisplayString(display));
    std::_Exit(1);
}

}  // namespace

const char systemFontPlace[] = "the font fontconfig matches for Verdana (fc-match Verdana)";

// fontconfig's best match: the family itself where it is installed, else the
// font that the system's configuration puts in its place.
std::string systemFontFile(const char* family, const char*, std::string& why) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8* file = nullptr;
    std::string path;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        path = reinterpret_cast<const char*>(file);
    }
    why = path.empty() ? "fontconfig knows no font" : "";
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    FcFini();  // nothing else in the program asks fontconfig anything
    return path;
}

void watchWindowSystem() {
    previousHandler = XSetErrorHandler(passRefusedReadBack);
    XSetIOErrorHandler(leaveLostDisplay);
    std::signal(SIGPIPE, SIG_IGN);
}

void connectMessages() {}

void showFatalMessage(const std::string&) {}
