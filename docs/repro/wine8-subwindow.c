/* Wine 8 (Debian 12) never shows a freeglut GL sub-window; Wine 10 (Debian
 * 13) does. None of the demo's code is here.
 *
 * A grey top-level window with one red sub-window in it. Wine 10 draws the
 * sub-window off screen and composites it into the top-level X window, so a
 * capture of that window shows the red square. Under Wine 8 the square never
 * appears: the window stays grey, on Xvfb and on a real X server alike.
 *
 *   x86_64-w64-mingw32-gcc-posix wine8-subwindow.c -o wine8-subwindow.exe -DFREEGLUT_STATIC \
 *       -I PREFIX/include -L PREFIX/lib -lfreeglut_static -lopengl32 -lgdi32 -lwinmm -static
 *   (PREFIX: the static freeglut that scripts/windows.sh builds, build/windows/prefix)
 *   xvfb-run -a sh -c 'wine wine8-subwindow.exe & sleep 15; xwd -root -silent |
 *       xwdtopnm | pnmdepth 255 | pamcut -left 200 -top 200 -width 1 -height 1 |
 *       pnmtoplainpnm | tail -1'
 *   # (xwd: x11-apps; the rest: netpbm) Wine 10: 255 0 0, the red square; Wine 8: 76 76 76
 */
#include <GL/freeglut.h>

static void drawTop(void) {
    glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
}

static void drawSub(void) {
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(400, 300);
    const int top = glutCreateWindow("wine8-subwindow");
    glutDisplayFunc(drawTop);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutCreateSubWindow(top, 100, 100, 200, 150);
    glutDisplayFunc(drawSub);
    glutMainLoop();
    return 0;
}
