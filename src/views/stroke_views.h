// The two stroke-font views: one spinning with smooth wide lines, one still,
// both moved by the same mouse drag.
#pragma once

void initStrokeView();
void displayRotating();
void displayStatic();
void motion(int x, int y);
void idle();
