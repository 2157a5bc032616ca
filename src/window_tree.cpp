// Builds the window tree: the top-level prompt window holding the two
// stroke-font views and the pixmap-font view, and keeps the sub-windows laid
// out whenever the top-level window changes size.
#include "window_tree.h"

#include <GL/freeglut.h>  // glutCloseFunc

#include "app_state.h"
#include "keyboard.h"
#include "layout.h"
#include "views/font_view.h"
#include "views/prompt_view.h"
#include "views/stroke_views.h"

int mainWindow = 0;
int rotatingView = 0;
int staticView = 0;
int fontView = 0;

namespace {

constexpr char windowTitle[] = "Assignment 2 by Quendrik";

int createSubWindow(const Rect& rect) {
    return glutCreateSubWindow(mainWindow, rect.x, rect.y, rect.width, rect.height);
}

// Mesa's software renderers read a window's size just after each frame
// reaches it (a swap, or the top-level window's flush) and draw the next frame
// at that size, so the first frame after a resize still comes out at the old
// size. The rotating view redraws all the time anyway. Every other window
// draws that frame from its reshape callback, as soon as GLUT reports the new
// size, so that the redraw GLUT asks for after every reshape is the second and
// comes out right, however the events of a resize fall into passes of the
// main loop.
template <void (*display)()>
void reshapeAndDraw(int width, int height) {
    glViewport(0, 0, width, height);
    display();
}

void place(int window, const Rect& rect) {
    glutSetWindow(window);
    glutPositionWindow(rect.x, rect.y);
    glutReshapeWindow(rect.width, rect.height);
}

// Closing the top-level window makes freeglut destroy the sub-windows' GL
// contexts and then its own, with whichever view drew last still current.
// Under Mesa 22's softpipe driver, destroying a context that is not current
// frees its window's drawable first and then writes the single-buffered front
// buffer out to it, which crashes. A current context is only marked, and the
// process ends before it goes. freeglut makes the top-level window current to
// call its close callback, so having one is enough: nothing is left to do.
void keepTopLevelCurrentOnClose() {}

}  // namespace

void createWindowTree() {
    // Each window's callbacks and set-up follow its creation directly, while
    // it is the current window: GL state belongs to the current context.
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(initialMainWindow.width, initialMainWindow.height);
    glutInitWindowPosition(initialMainWindow.x, initialMainWindow.y);
    mainWindow = glutCreateWindow(windowTitle);
    glutDisplayFunc(displayMain);
    glutKeyboardFunc(keyboard);
    glutReshapeFunc(reshape);
    glutCloseFunc(keepTopLevelCurrentOnClose);
    initMain();

    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);

    rotatingView = createSubWindow(initialRotatingView);
    useSmoothWideLines(true);
    glutDisplayFunc(displayRotating);
    glutKeyboardFunc(keyboard);
    glutMotionFunc(motion);
    initStrokeView();

    staticView = createSubWindow(initialStaticView);
    glutDisplayFunc(displayStatic);
    glutReshapeFunc(reshapeAndDraw<displayStatic>);
    glutKeyboardFunc(keyboard);
    glutMotionFunc(motion);
    initStrokeView();

    fontView = createSubWindow(initialFontView);
    glutDisplayFunc(displayFont);
    glutReshapeFunc(reshapeAndDraw<displayFont>);
    glutKeyboardFunc(keyboard);
    initFontView();

    glutIdleFunc(idle);
}

void reshape(int width, int height) {
    // A window manager that maximizes the window sends its new size and
    // exposures at once, and this window's only redraw then came out at its
    // old size, leaving the margins and the prompt undrawn until the next key.
    reshapeAndDraw<displayMain>(width, height);
    const SubWindowLayout layout = layoutSubWindows(width, height);
    place(rotatingView, layout.rotating);
    place(staticView, layout.still);
    place(fontView, layout.font);
}
