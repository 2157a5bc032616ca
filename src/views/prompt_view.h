// The top-level window: a prompt in a GLUT bitmap font and the typed text.
#pragma once

void initMain();
void displayMain();
