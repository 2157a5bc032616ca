// The fixed tree of one top-level window and three sub-windows.
#pragma once

// Creates the four windows, registers their callbacks and runs each window's
// set-up while it is current. Call once, after glutInit().
void createWindowTree();

// Reshape callback of the top-level window: lays the sub-windows out afresh.
void reshape(int width, int height);
