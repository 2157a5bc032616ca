/* Mesa 25 softpipe: any single-buffered window crashes the program at exit.
 *
 * One single-buffered window, redrawn on every idle pass. A second after start
 * the program asks to be closed as a window manager would (WM_DELETE_WINDOW);
 * freeglut destroys the window and closes the display. Mesa, destroying the
 * window's context, calls back into GLX for a drawable that is gone: SIGSEGV,
 * or a double free in libXext (AddressSanitizer: free from libXext, called
 * from libGLX_mesa, called from libgallium). Debian 13 (Mesa 25.0) crashes
 * every time; Debian 12 (Mesa 22.3) and llvmpipe do not.
 *
 *   cc softpipe-close-single.c -o softpipe-close-single -lglut -lGL -lX11
 *   GALLIUM_DRIVER=softpipe xvfb-run -a ./softpipe-close-single; echo $?   # 139 on Mesa 25
 *   GALLIUM_DRIVER=llvmpipe xvfb-run -a ./softpipe-close-single; echo $?   # 0
 */
#include <GL/glut.h>
#include <GL/glx.h>

static void draw(void) {
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
}

static void askToClose(int unused) {
    (void)unused;
    Display* display = glXGetCurrentDisplay();
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = glXGetCurrentDrawable();
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(640, 480);
    glutInitWindowPosition(100, 150);
    glutCreateWindow("softpipe-close-single");
    glutDisplayFunc(draw);
    glutIdleFunc(glutPostRedisplay);
    glutTimerFunc(1000, askToClose, 0);
    glutMainLoop();
    return 1;
}
