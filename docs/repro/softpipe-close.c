/* Mesa's softpipe driver crashes when a freeglut program with a
 * single-buffered window is closed. None of the demo's code is here.
 *
 * The window tree: a single-buffered top-level window that has drawn a
 * bitmap, and three double-buffered sub-windows laid out from its reshape
 * callback. A second after start the program asks to be closed as a window
 * manager would (WM_DELETE_WINDOW), with a sub-window current, as it is after
 * a frame. freeglut destroys the sub-windows, then the top-level window.
 * Mesa 22 (Debian 12) crashes in glXDestroyContext: drisw_destroy_context
 * (src/glx/drisw_glx.c) frees the top-level window's drawable and then
 * destroys the context, which writes the front buffer out to it (valgrind: a
 * read of memory allocated and freed in libGLX_mesa). A current context is
 * only marked for destruction, so a close callback on the top-level window,
 * for which freeglut makes that window current, avoids it; the demo has one.
 *
 * "single": one single-buffered window, current when it is closed. Mesa 22
 * closes it cleanly. Mesa 25 (Debian 13) crashes as freeglut closes the
 * display: destroying the context, Mesa calls back into GLX for a drawable
 * that is gone (SIGSEGV, or a double free in libXext called from libGLX_mesa
 * from libgallium). The window tree crashes there the same way, with or
 * without a close callback.
 *
 *   cc softpipe-close.c -o softpipe-close -lglut -lGL -lX11
 *   GALLIUM_DRIVER=softpipe xvfb-run -a ./softpipe-close; echo $?         # crash: 139, 134
 *   GALLIUM_DRIVER=softpipe xvfb-run -a ./softpipe-close single; echo $?  # Mesa 25: 139
 *   GALLIUM_DRIVER=llvmpipe xvfb-run -a ./softpipe-close; echo $?         # 0
 */
#include <GL/glut.h>
#include <GL/glx.h>
#include <string.h>

static int top, sub[3];

static void drawTop(void) {
    glClear(GL_COLOR_BUFFER_BIT);
    glRasterPos2f(-0.9f, -0.9f);
    glutBitmapCharacter(GLUT_BITMAP_TIMES_ROMAN_24, 'T');
    glFlush();
}

static void drawSub(void) {
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

static void reshape(int width, int height) {
    glViewport(0, 0, width, height);
    for (int i = 0; i < 3; ++i) {
        glutSetWindow(sub[i]);
        glutPositionWindow(5 + 320 * (i % 2), 5 + 240 * (i / 2));
        glutReshapeWindow(310, 230);
    }
}

static void askToClose(int current) {
    glutSetWindow(top);
    Display* display = glXGetCurrentDisplay();
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = glXGetCurrentDrawable();
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
    glutSetWindow(current);
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    const int single = argc > 1 && strcmp(argv[1], "single") == 0;
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(640, 480);
    glutInitWindowPosition(100, 150);
    top = glutCreateWindow("softpipe-close");
    glutDisplayFunc(drawTop);
    if (!single) {
        glutReshapeFunc(reshape);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
        for (int i = 0; i < 3; ++i) {
            sub[i] = glutCreateSubWindow(top, 0, 0, 300, 225);
            glutDisplayFunc(drawSub);
        }
    }
    glutTimerFunc(1000, askToClose, single ? top : sub[0]);
    glutMainLoop();
    return 1;
}
