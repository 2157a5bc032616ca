// The two stroke-font views: one spinning with smooth wide lines, one still,
// both moved by the same mouse drag.
#pragma once

void initStrokeView();
// The line state of the current view: the spinning view's anti-aliased lines,
// three pixels wide, or GL's plain one-pixel lines, which the still view keeps.
void useSmoothWideLines(bool smoothWide);
void displayRotating();
void displayStatic();
void motion(int x, int y);
void idle();
