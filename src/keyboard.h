// The keyboard callback that all four windows share.
#pragma once

void keyboard(unsigned char key, int x, int y);
