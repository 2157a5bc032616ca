// gltextdemo: three ways of drawing text with OpenGL side by side: GLUT stroke
// fonts, GLUT bitmap fonts, and anti-aliased pixmaps rendered through FTGL and
// FreeType from a TrueType file. Whatever is typed shows in all four windows.
#include <GL/freeglut.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/system.h"
#include "window_tree.h"

namespace {

const char* programName = "gltextdemo";

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
    tolerateRefusedReadBacks();
    if (argc > 0) {
        programName = argv[0];
    }
    glutInitErrorFunc(failFatally);
    // GLUT takes its own options (-display, -geometry, ...) from the command
    // line; the program has none of its own.
    glutInit(&argc, argv);
    createWindowTree();
    glutMainLoop();  // returns only through exit(), when the top-level window closes
}
