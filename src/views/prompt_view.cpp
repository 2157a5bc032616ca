// Draws the top-level window's own content in the strip that the sub-windows
// leave free: "Type something:" in a GLUT bitmap font near the lower-left
// corner, followed directly by the typed text in a smaller bitmap font.
#include "prompt_view.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include "app_state.h"

namespace {

constexpr char promptLabel[] = "Type something:";

// The projection does not follow the window's size, so positions are always
// fractions of the window: 2000 units span its width and its height.
constexpr double orthoExtent = 2000.0;
constexpr float promptX = 50.0f;  // 2.5% of the width from the left edge
constexpr float promptY = 50.0f;  // 2.5% of the height from the bottom edge

void drawBitmapString(void* font, const char* characters) {
    // freeglut's bitmap fonts have Latin-1 glyphs from 160 to 255; a signed
    // char would hand them over as negative codes, which draw nothing. A byte
    // that stood for another character where it was typed is left out.
    for (const char* c = characters; *c != '\0'; ++c) {
        if (const auto byte = static_cast<unsigned char>(*c); isLatin1(byte)) {
            glutBitmapCharacter(font, byte);
        }
    }
}

}  // namespace

void initMain() {
    glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
    // Left as the current matrix on purpose: the pushes and pops of
    // displayMain act on it, and the model-view matrix stays the identity.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, orthoExtent, 0.0, orthoExtent);
}

void displayMain() {
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    // The colour is never set here: the text takes GL's default, white.
    glRasterPos2f(promptX, promptY);
    drawBitmapString(GLUT_BITMAP_TIMES_ROMAN_24, promptLabel);
    // Each glyph moved the raster position on, so the echo starts right
    // against the colon. The placeholder is never echoed.
    if (text.typed) {
        drawBitmapString(GLUT_BITMAP_HELVETICA_18, text.chars);
    }
    glPopMatrix();
    glFlush();  // single-buffered: nothing to swap
}
