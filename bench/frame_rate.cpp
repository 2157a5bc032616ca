// Frame rate of the spinning view: runs the program's own window tree for a
// fixed time and counts how often each window is redrawn. Mode "text" keeps
// every display callback; mode "bare" replaces each by a clear and a swap, so
// the difference between the two is the cost of drawing the text. Mode
// "plain-lines" draws like "text" but with the spinning view's lines one pixel
// wide and neither smoothed nor blended, to show what that line state costs.
// Mode "font" draws like "text" and also redraws the font view on every idle
// pass, so that the cost of one font-view redraw can be counted.
#include <GL/freeglut.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app_state.h"
#include "keyboard.h"
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
bool plainLines = false;
bool redrawFont = false;  // mode "font"
int measureMilliseconds = 5000;
int warmUpMilliseconds = 1000;
const char* typed = "";  // keys handed to the program before it starts, if any
Clock::time_point measureStart;
double measuredSeconds = 0.0;
// Processor time of the whole process, llvmpipe's threads included: the work
// a frame takes rather than the time it waits for a core, though a busy
// machine still inflates it through extra thread switches.
double cpuAtStart = 0.0;
double measuredCpuSeconds = 0.0;
// Time between the starts of successive redraws of the spinning view. Other
// processes on the machine stretch some frames a lot and others not at all,
// so the median frame is less disturbed by them than the mean frame rate.
bool measuring = false;
Clock::time_point lastRotatingFrame;
std::vector<float> frameMicroseconds;

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

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

// createWindowTree() registered the program's callbacks; this puts the
// counting wrappers in front of them, one window at a time, since a display
// callback belongs to the current window.
void wrapDisplayCallbacks() {
    glutSetWindow(mainWindow);
    glutDisplayFunc(countedDisplay<mainSlot, displayMain, false>);
    glutSetWindow(rotatingView);
    glutDisplayFunc(countedDisplay<rotatingSlot, displayRotating, true>);
    glutSetWindow(staticView);
    glutDisplayFunc(countedDisplay<staticSlot, displayStatic, true>);
    glutSetWindow(fontView);
    glutDisplayFunc(countedDisplay<fontSlot, displayFont, true>);
}

// Undoes, in the spinning view's own context, the line state that the window
// tree set up for it.
void usePlainLines() {
    glutSetWindow(rotatingView);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glLineWidth(1.0f);
}

void idleRedrawingFont() {
    idle();
    glutPostWindowRedisplay(fontView);
}

void stopMeasuring(int /*unused*/) {
    measuredSeconds = std::chrono::duration<double>(Clock::now() - measureStart).count();
    measuredCpuSeconds = processCpuSeconds() - cpuAtStart;
    measuring = false;
    glutLeaveMainLoop();
}

// The first passes show the windows, lay them out and draw all four; those
// redraws are start-up, not the steady state being measured.
void startMeasuring(int /*unused*/) {
    for (long& calls : displayCalls) {
        calls = 0;
    }
    measureStart = Clock::now();
    cpuAtStart = processCpuSeconds();
    // Room for 50,000 frames a second, far above any rate seen here, so that
    // growing the record does not disturb the measurement.
    frameMicroseconds.reserve(static_cast<std::size_t>(measureMilliseconds) * 50);
    lastRotatingFrame = measureStart;
    measuring = true;
    glutTimerFunc(static_cast<unsigned>(measureMilliseconds), stopMeasuring, 0);
}

bool parseSeconds(const char* value, int& milliseconds) {
    char* end = nullptr;
    const double seconds = std::strtod(value, &end);
    if (end == value || *end != '\0' || !(seconds > 0.0) || seconds > 3600.0) {
        return false;
    }
    milliseconds = static_cast<int>(seconds * 1000.0 + 0.5);
    return milliseconds > 0;
}

void usage() {
    std::fprintf(
        stderr,
        "usage: frame_rate text|bare|plain-lines|font [--seconds S] [--warmup S] [--type TEXT]\n"
        "Run in a directory holding verdana.ttf, with DISPLAY set.\n");
}

bool parseArguments(int argc, char** argv) {
    if (argc < 2) {
        return false;
    }
    const std::string mode = argv[1];
    if (mode != "text" && mode != "bare" && mode != "plain-lines" && mode != "font") {
        return false;
    }
    drawAsProgram = mode != "bare";
    plainLines = mode == "plain-lines";
    redrawFont = mode == "font";
    for (int i = 2; i < argc; i += 2) {
        if (i + 1 >= argc) {
            return false;
        }
        if (std::strcmp(argv[i], "--seconds") == 0) {
            if (!parseSeconds(argv[i + 1], measureMilliseconds)) {
                return false;
            }
        } else if (std::strcmp(argv[i], "--warmup") == 0) {
            if (!parseSeconds(argv[i + 1], warmUpMilliseconds)) {
                return false;
            }
        } else if (std::strcmp(argv[i], "--type") == 0) {
            typed = argv[i + 1];
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);  // removes GLUT's own options, such as -display
    if (!parseArguments(argc, argv)) {
        usage();
        return 2;
    }
    // The results are printed after the loop, so leaving it must return here
    // rather than end the process.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);

    createWindowTree();
    wrapDisplayCallbacks();
    if (plainLines) {
        usePlainLines();
    }
    if (redrawFont) {
        glutIdleFunc(idleRedrawingFont);
    }
    // Through the program's own keyboard callback, as if typed; the redraws
    // this asks for happen during the warm-up.
    for (const char* c = typed; *c != '\0'; ++c) {
        keyboard(static_cast<unsigned char>(*c), 0, 0);
    }
    glutTimerFunc(static_cast<unsigned>(warmUpMilliseconds), startMeasuring, 0);
    glutMainLoop();

    if (measuredSeconds <= 0.0) {
        std::fprintf(stderr, "frame_rate: the main loop ended before the measurement did\n");
        return 1;
    }
    const long frames = displayCalls[rotatingSlot];
    if (frames < 2) {
        std::fprintf(stderr, "frame_rate: the spinning view was redrawn %ld times\n", frames);
        return 1;
    }
    // The first interval runs from the start of the measurement, not from a frame.
    std::vector<float> intervals(frameMicroseconds.begin() + 1, frameMicroseconds.end());
    auto middle = intervals.begin() + static_cast<std::ptrdiff_t>(intervals.size() / 2);
    std::nth_element(intervals.begin(), middle, intervals.end());
    const double medianFrameMicroseconds = *middle;
    std::printf(
        "mode=%s typed=%zu seconds=%.3f rotating=%ld static=%ld font=%ld main=%ld "
        "rotating_fps=%.1f median_frame_us=%.1f median_frame_fps=%.1f cpu_us_per_frame=%.1f\n",
        argv[1], std::strlen(typed), measuredSeconds, frames, displayCalls[staticSlot],
        displayCalls[fontSlot], displayCalls[mainSlot],
        static_cast<double>(frames) / measuredSeconds, medianFrameMicroseconds,
        1e6 / medianFrameMicroseconds, measuredCpuSeconds * 1e6 / static_cast<double>(frames));
    return 0;
}
