// gltextdemo: three ways of drawing text with OpenGL side by side: GLUT stroke
// fonts, GLUT bitmap fonts, and anti-aliased pixmaps rendered through FTGL and
// FreeType from a TrueType file. Whatever is typed shows in all four windows.
#include <GL/freeglut.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/desktop.h"
#include "views/font_view.h"
#include "window_tree.h"

namespace {

const char* programName = "gltextdemo";

constexpr char help[] =
    "Usage: gltextdemo [GLUT OPTION]...\n"
    "Shows text drawn three ways with OpenGL: GLUT stroke (vector) fonts, GLUT\n"
    "bitmap fonts, and anti-aliased pixmaps that FTGL renders from a TrueType file\n"
    "through FreeType. What you type shows in all four places at once; a drag in\n"
    "either stroke pane moves the text. Close the window to quit.\n\n"
    "GLUT options: -display DISPLAY, -direct, -indirect, -iconic, -gldebug, -sync.\n\n"
    "The pixmap font is %s in the working directory or, where there is\n"
    "none, %s.\n\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

// Answered before GLUT reads the command line, so they need no display.
bool answeredOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(help, fontFile, systemFontPlace);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("gltextdemo %s\n", GLTEXTDEMO_VERSION);
            return true;
        }
    }
    return false;
}

// freeglut's own report of an error it cannot go on from, in its own words,
// such as no OpenGL at start-up; then shown where standard error may go
// nowhere, as for a program started from the Windows desktop.
void failFatally(const char* format, va_list arguments) {
    char reason[1024];
    std::vsnprintf(reason, sizeof reason, format, arguments);
    std::fprintf(stderr, "freeglut (%s): %s\n", programName, reason);
    showFatalMessage(reason);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    connectMessages();
    if (answeredOption(argc, argv)) {
        return 0;
    }
    watchWindowSystem();
    if (argc > 0) {
        programName = argv[0];
    }
    glutInitErrorFunc(failFatally);
    // GLUT takes its own options (-display, -iconic, ...) from the command
    // line; the program has none of its own beyond the two above.
    glutInit(&argc, argv);
    createWindowTree();
    glutMainLoop();  // returns only through exit(), when the top-level window closes
}
