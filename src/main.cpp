// gltextdemo: three ways of drawing text with OpenGL side by side: GLUT stroke
// fonts, GLUT bitmap fonts, and anti-aliased pixmaps rendered through FTGL and
// FreeType from a TrueType file. Whatever is typed shows in all four windows.
#include <GL/freeglut.h>

#include "window_tree.h"

int main(int argc, char** argv) {
    // GLUT takes its own options (-display, -geometry, ...) from the command
    // line; the program has none of its own.
    glutInit(&argc, argv);
    createWindowTree();
    glutMainLoop();  // returns only through exit(), when the top-level window closes
}
