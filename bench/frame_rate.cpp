// Frame rate of the spinning view: runs the program's own window tree for a
// fixed time and counts how often each window is redrawn. Mode "text" keeps
// every display callback; mode "bare" replaces each by a clear and a swap, so
// the difference between the two is the cost of drawing the text.
#include <GL/freeglut.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app_state.h"
#include "common.h"
#include "views/font_view.h"
#include "views/prompt_view.h"
#include "views/stroke_views.h"
#include "window_tree.h"

namespace {

using Clock = std::chrono::steady_clock;

// One slot per window, in the order the program creates them.
enum Slot { mainSlot, rotatingSlot, staticSlot, fontSlot, slotCount };

// Display calls since the warm-up ended, per window.
long displayCalls[slotCount] = {};
bool drawAsProgram = true;  // false in mode "bare"
int measureMilliseconds = 5000;
// The first passes show the windows, lay them out and draw all four; those
// redraws are start-up, not the steady state being measured.
constexpr unsigned warmUpMilliseconds = 1000;
Clock::time_point measureStart;
double measuredSeconds = 0.0;
// Processor time of the whole process, llvmpipe's threads included (what
// std::clock() counts on Linux): the work a frame takes rather than the time
// it waits for a core.
std::clock_t cpuAtStart = 0;
double measuredCpuSeconds = 0.0;
// Time between the starts of successive redraws of the spinning view. Other
// processes on the machine stretch some frames a lot and others not at all,
// so the median frame is less disturbed by them than the mean frame rate.
bool measuring = false;
Clock::time_point lastRotatingFrame;
std::vector<float> frameMicroseconds;

// Counts the call, then draws either what the program draws or nothing but
// the background. The single-buffered top-level window has nothing to swap.
template <Slot slot, void (*draw)(), bool doubleBuffered>
void countedDisplay() {
    ++displayCalls[slot];
    if (slot == rotatingSlot && measuring) {
        const Clock::time_point now = Clock::now();
        frameMicroseconds.push_back(
            std::chrono::duration<float, std::micro>(now - lastRotatingFrame).count());
        lastRotatingFrame = now;
    }
    if (drawAsProgram) {
        draw();
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    if (doubleBuffered) {
        glutSwapBuffers();
    } else {
        glFlush();
    }
}

// The counting wrappers go in front of the program's callbacks one window at a
// time: a display callback belongs to the current window.
void wrapDisplayCallbacks() {
    const std::pair<int, void (*)()> wrapped[] = {
        {mainWindow, countedDisplay<mainSlot, displayMain, false>},
        {rotatingView, countedDisplay<rotatingSlot, displayRotating, true>},
        {staticView, countedDisplay<staticSlot, displayStatic, true>},
        {fontView, countedDisplay<fontSlot, displayFont, true>}};
    for (const auto& [window, display] : wrapped) {
        glutSetWindow(window);
        glutDisplayFunc(display);
    }
}

void stopMeasuring(int /*unused*/) {
    measuredSeconds = std::chrono::duration<double>(Clock::now() - measureStart).count();
    measuredCpuSeconds = static_cast<double>(std::clock() - cpuAtStart) / CLOCKS_PER_SEC;
    measuring = false;
    glutLeaveMainLoop();
}

void startMeasuring(int /*unused*/) {
    std::fill(std::begin(displayCalls), std::end(displayCalls), 0);
    measureStart = Clock::now();
    cpuAtStart = std::clock();
    // Room for 50,000 frames a second, far above any rate seen here, so that
    // growing the record does not disturb the measurement.
    frameMicroseconds.reserve(static_cast<std::size_t>(measureMilliseconds) * 50);
    lastRotatingFrame = measureStart;
    measuring = true;
    glutTimerFunc(static_cast<unsigned>(measureMilliseconds), stopMeasuring, 0);
}

// Mode first, then --seconds; false if anything is off.
bool parseArguments(int argc, char** argv) {
    Options options{{"--seconds", "5"}};
    const std::string mode = argc > 1 ? argv[1] : "";
    double seconds = 0.0;
    if ((mode != "text" && mode != "bare") || !parseOptions(argc, argv, 2, options) ||
        !numberIn(options["--seconds"], 0.001, 3600.0, seconds)) {
        return false;
    }
    drawAsProgram = mode != "bare";
    measureMilliseconds = static_cast<int>(std::lround(seconds * 1000.0));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);  // removes GLUT's own options, such as -display
    if (!parseArguments(argc, argv)) {
        std::fprintf(stderr,
                     "usage: frame_rate text|bare [--seconds S]\n"
                     "Run in a directory holding verdana.ttf, with DISPLAY set.\n");
        return 2;
    }
    // The results are printed after the loop, so leaving it must return here
    // rather than end the process.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);

    createWindowTree();
    wrapDisplayCallbacks();
    glutTimerFunc(warmUpMilliseconds, startMeasuring, 0);
    glutMainLoop();

    const long frames = displayCalls[rotatingSlot];
    if (measuredSeconds <= 0.0 || frames < 2) {
        std::fprintf(stderr, "frame_rate: nothing measured (%.3f s, %ld frames)\n", measuredSeconds,
                     frames);
        return 1;
    }
    // The first interval runs from the start of the measurement, not from a frame.
    const double medianFrameMicroseconds =
        median(std::vector<double>(frameMicroseconds.begin() + 1, frameMicroseconds.end()));
    std::printf(
        "mode=%s seconds=%.3f rotating=%ld static=%ld font=%ld main=%ld "
        "rotating_fps=%.1f median_frame_us=%.1f median_frame_fps=%.1f cpu_us_per_frame=%.1f\n",
        drawAsProgram ? "text" : "bare", measuredSeconds, frames, displayCalls[staticSlot],
        displayCalls[fontSlot], displayCalls[mainSlot],
        static_cast<double>(frames) / measuredSeconds, medianFrameMicroseconds,
        1e6 / medianFrameMicroseconds, measuredCpuSeconds * 1e6 / static_cast<double>(frames));
    return 0;
}
