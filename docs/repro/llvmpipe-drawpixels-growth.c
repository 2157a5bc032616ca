/* Mesa 26's llvmpipe driver keeps memory for every glDrawPixels call, without
 * end: a freeglut program that draws small pixmaps grows by about 190 bytes a
 * call. None of the demo's code is here.
 *
 * One double-buffered window. Every frame clears, draws 30 pixmaps of 16x20
 * luminance-alpha pixels with glDrawPixels, as a pixmap font draws its
 * glyphs, and swaps. VmRSS is printed after a warm-up of 1,000 frames and
 * after 10,000 more (300,000 calls), or as many as the second argument says.
 * "clear" draws the same frames without the pixmaps; "resize" also resizes
 * the window on every frame, through sizes from 1x1 to 1600x1200. The growth
 * goes with the calls alone: neither frames nor resizes add to it. valgrind's
 * massif (--pages-as-heap=yes) puts all of it in blocks of about 1 MiB that
 * libgallium allocates with posix_memalign below glDrawPixels.
 *
 * Under Xvfb, 10,000 frames: Mesa 26.1 (Debian testing) +55 MiB, and +220 MiB
 * after 40,000; Mesa 25.0 (Debian 13) 0; Mesa 22.3 (Debian 12) at most
 * +1.7 MiB, after 40,000 as well. "clear": 0 on all three.
 *
 *   cc llvmpipe-drawpixels-growth.c -o drawpixels-growth -lglut -lGL
 *   xvfb-run -a -s '-screen 0 1920x1440x24' ./drawpixels-growth         # Mesa 26: +55 MiB
 *   xvfb-run -a -s '-screen 0 1920x1440x24' ./drawpixels-growth clear   # 0
 *   xvfb-run -a -s '-screen 0 1920x1440x24' ./drawpixels-growth resize  # Mesa 26: +53 MiB
 *   xvfb-run -a -s '-screen 0 1920x1440x24' ./drawpixels-growth pixels 40000
 */
#include <GL/glut.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { warmUp = 1000, pixmaps = 30 };

static const int sizes[][2] = {{1, 1}, {10, 1}, {17, 3}, {641, 480}, {1600, 1200}, {640, 480}};
static unsigned char pixels[16 * 20 * 2];
static int frame, measured = 10000, draw = 1, resize;
static long before;

static long residentKiB(void) {
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    long kib = -1;
    while (fgets(line, sizeof line, status)) {
        if (strncmp(line, "VmRSS:", 6) == 0) kib = atol(line + 6);
    }
    fclose(status);
    return kib;
}

static void display(void) {
    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; draw && i < pixmaps; ++i) {
        glRasterPos2f(-0.95f + 0.06f * i, 0.0f);
        glDrawPixels(16, 20, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, pixels);
    }
    glutSwapBuffers();
}

static void idle(void) {
    ++frame;
    if (frame == warmUp) before = residentKiB();
    if (frame == warmUp + measured) {
        const long after = residentKiB();
        printf("VmRSS %ld KiB after %d frames, %ld KiB after %d more: %+ld KiB\n", before, warmUp,
               after, measured, after - before);
        exit(0);
    }
    if (resize) glutReshapeWindow(sizes[frame % 6][0], sizes[frame % 6][1]);
    glutPostRedisplay();
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    draw = !(argc > 1 && strcmp(argv[1], "clear") == 0);
    resize = argc > 1 && strcmp(argv[1], "resize") == 0;
    if (argc > 2) measured = atoi(argv[2]);
    memset(pixels, 200, sizeof pixels);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(640, 480);
    glutInitWindowPosition(100, 150);
    glutCreateWindow("drawpixels-growth");
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutMainLoop();
    return 0;
}
