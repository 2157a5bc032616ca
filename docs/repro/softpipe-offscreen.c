/* Mesa softpipe: a single-buffered window that reaches past the screen's edge
 * ends the program with BadMatch on X_GetImage.
 *
 * softpipe reads the front buffer of a single-buffered window back from the X
 * server with XGetImage before drawing into it; X refuses that for a window
 * not wholly on the screen, and Xlib's default error handler exits.
 *
 *   cc softpipe-offscreen.c -o softpipe-offscreen -lglut -lGL
 *   GALLIUM_DRIVER=softpipe xvfb-run -a ./softpipe-offscreen; echo $?   # dies: BadMatch
 *   GALLIUM_DRIVER=llvmpipe xvfb-run -a ./softpipe-offscreen; echo $?   # 0
 */
#include <GL/freeglut.h>

static void draw(void) {
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
    glutLeaveMainLoop();
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowPosition(100, 150);
    glutInitWindowSize(1600, 1200);  // larger than xvfb-run's 1280x1024 screen
    glutCreateWindow("softpipe-offscreen");
    glutDisplayFunc(draw);
    glutMainLoop();
    return 0;
}
