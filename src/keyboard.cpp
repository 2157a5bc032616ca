// Owns the shared text: every key typed in any window edits it, and every
// window is asked to show the result.
#include "keyboard.h"

#include <GL/freeglut.h>

#include <initializer_list>

#include "app_state.h"

SharedText text;

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
    addKey(text, key);
    // Posting by identifier flags each window without making it current, so no
    // GL context is switched just to ask for a redraw.
    for (int window : {rotatingView, staticView, fontView, mainWindow}) {
        glutPostWindowRedisplay(window);
    }
}
