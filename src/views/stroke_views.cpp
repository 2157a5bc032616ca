// Draws the shared text with the GLUT stroke (vector) font in two sub-windows:
// the rotating view turns it about the view's centre on every idle pass, the
// static view holds it still. A drag with any button in either moves both.
#include "stroke_views.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include "app_state.h"
#include "drag_and_spin.h"

namespace {

constexpr float smoothLineWidth = 3.0f;  // pixels, in the spinning view

// Where the text starts (origin of the first character, on the baseline), in
// view units from the centre of the view; shared by both views.
float dragX = 0.0f;
float dragY = 0.0f;
// Counter-clockwise rotation of the rotating view, in degrees.
float spinAngle = 0.0f;

void drawText(float angle) {
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    // Rotate about the view's centre after moving to the drag offset, so
    // dragged text circles around the centre rather than spinning in place.
    // The static view passes 0, the identity.
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glTranslatef(dragX, dragY, 0.0f);
    // One font unit is one view unit. Each character moves the matrix on by
    // its advance; codes 128 and above have no stroke glyph and draw nothing,
    // and a byte that stood for another character where it was typed is left
    // out rather than drawn as the wrong letter.
    for (const char* c = text.chars; *c != '\0'; ++c) {
        if (const auto byte = static_cast<unsigned char>(*c); isLatin1(byte)) {
            glutStrokeCharacter(GLUT_STROKE_ROMAN, byte);
        }
    }
    glPopMatrix();
    glutSwapBuffers();
}

}  // namespace

void initStrokeView() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    // Left as the current matrix on purpose: the pushes, rotations and
    // translations of drawText act on it, and the model-view matrix stays the
    // identity. The projection never follows a resize, so the text stretches.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-viewWidth / 2, viewWidth / 2, -viewHeight / 2, viewHeight / 2);
}

// The state belongs to the current GL context only, so setting it in one view
// leaves the other view's lines as they were.
void useSmoothWideLines(bool smoothWide) {
    if (smoothWide) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_BLEND);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(smoothWide ? smoothLineWidth : 1.0f);
}

void displayRotating() {
    drawText(spinAngle);
}

void displayStatic() {
    drawText(0.0f);
}

void motion(int x, int y) {
    // GLUT makes the view that received the drag current, so its size is the
    // one the pointer position is measured in.
    const DragOffset offset =
        dragOffset(x, y, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    dragX = offset.x;
    dragY = offset.y;
    glutPostWindowRedisplay(rotatingView);
    glutPostWindowRedisplay(staticView);
}

void idle() {
    // No timer: the spin advances once per pass of the main loop, and the
    // rotating view is redrawn continuously.
    spinAngle = nextSpinAngle(spinAngle);
    glutPostWindowRedisplay(rotatingView);
}
