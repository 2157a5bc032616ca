// What drawing text costs on this GL, in the font view of the program's own
// window tree: a redraw as the program does it (its displayFont(), which sets
// each size afresh and so rasterises every glyph again) against the same lines
// from cached glyphs, and the cost per character of each way of drawing text
// the program uses. On an X server of its own, started through the harness,
// which also puts DejaVu Sans as verdana.ttf where the program looks for it.
#define GL_GLEXT_PROTOTYPES  // glWindowPos2i, GL 1.4
#include <FTGL/ftgl.h>
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "app_state.h"
#include "common.h"
#include "keyboard.h"
#include "session.h"
#include "views/font_view.h"
#include "views/stroke_views.h"
#include "window_tree.h"

namespace {

// Typed into the program: as long as the longest text it accepts.
constexpr char sample[] = "The quick brown fox jumps over ";
constexpr int sampleLength = sizeof sample - 1;
static_assert(sampleLength + 1 == textCapacity, "the sample fills the program's text");

// The font view's two lines, its fixed line and the sample, each with a font
// of its own that keeps its glyphs: DejaVu Sans, which the harness copies as
// the program's verdana.ttf. main() checks that they draw what the view draws.
constexpr int linesLength = sizeof fontMessage - 1 + sampleLength;
struct Line {
    unsigned size;
    std::wstring text;  // ASCII, so each byte widened is the same character
    int y;              // baseline, in pixels from the bottom of the window
    FTGLPixmapFont font{DEJAVU_FONT};
};
Line lines[] = {{fontMessageSize, {std::begin(fontMessage), std::end(fontMessage) - 1}, 80},
                {fontTextSize, {std::begin(sample), std::end(sample) - 1}, 40}};
constexpr int lineLeft = 10;  // pixels

// Both lines, each font sized before its line as the program sizes its one
// font (which drops the glyphs), or from the glyphs of the previous draw.
template <bool resize>
void drawLines() {
    for (Line& line : lines) {
        if (resize) {
            line.font.FaceSize(line.size, fontResolution);
        }
        glWindowPos2i(lineLeft, line.y);
        line.font.Render(line.text.c_str());
    }
}

void drawNothing() {}

// A whole redraw of the font view with other lines than the program's.
template <void (*drawLines)()>
void redraw() {
    glClear(GL_COLOR_BUFFER_BIT);
    drawLines();
    glutSwapBuffers();
}

// Stroke text at one font unit per view unit, starting again at the left
// whenever the next character would leave the view, so that every character
// is rasterised rather than clipped away.
void drawStrokeSample() {
    constexpr float left = -140.0f;
    constexpr float right = 140.0f;
    constexpr float baseline = -50.0f;
    float pen = left;
    glPushMatrix();
    glTranslatef(left, baseline, 0.0f);
    for (const char* c = sample; *c != '\0'; ++c) {
        const int code = static_cast<unsigned char>(*c);
        const float advance = glutStrokeWidthf(GLUT_STROKE_ROMAN, code);
        if (pen + advance > right) {
            glPopMatrix();
            glPushMatrix();
            glTranslatef(left, baseline, 0.0f);
            pen = left;
        }
        glutStrokeCharacter(GLUT_STROKE_ROMAN, code);
        pen += advance;
    }
    glPopMatrix();
}

template <int font>
void drawBitmapSample() {
    void* const fonts[] = {GLUT_BITMAP_HELVETICA_18, GLUT_BITMAP_TIMES_ROMAN_24};
    glWindowPos2i(lineLeft, lines[1].y);
    for (const char* c = sample; *c != '\0'; ++c) {
        glutBitmapCharacter(fonts[font], static_cast<unsigned char>(*c));
    }
}

// glFinish() in every iteration, so llvmpipe's rasterisation is counted too
// and not left queued for the next iteration. Google Benchmark divides the
// time by the characters drawn ("per_char", in seconds), for every benchmark
// since its CSV output wants the same counters in all: infinite for none.
template <void (*draw)(), int characters>
void measure(benchmark::State& state) {
    draw();  // the cached fonts build their glyphs here, outside the timing
    glFinish();
    for (auto _ : state) {
        draw();
        glFinish();
    }
    state.counters["chars"] = characters;
    state.counters["per_char"] = benchmark::Counter(
        characters, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The stroke characters with or without the spinning view's line state, set
// outside the timing since the program sets it once and keeps it.
template <bool smoothWide>
void measureStroke(benchmark::State& state) {
    useSmoothWideLines(smoothWide);
    measure<drawStrokeSample, sampleLength>(state);
    useSmoothWideLines(false);
}

// Whole redraws of the font view, then the characters alone, without clearing
// or swapping.
const std::pair<const char*, void (*)(benchmark::State&)> benchmarks[] = {
    {"FontViewRedraw/resizing", measure<displayFont, linesLength>},
    {"FontViewRedraw/cached", measure<redraw<drawLines<false>>, linesLength>},
    {"FontViewRedraw/clearAndSwapOnly", measure<redraw<drawNothing>, 0>},
    {"PerCharacter/finishOnly", measure<drawNothing, 0>},
    {"PerCharacter/strokeRomanSmooth3px", measureStroke<true>},
    {"PerCharacter/strokeRomanPlain1px", measureStroke<false>},
    {"PerCharacter/bitmapHelvetica18", measure<drawBitmapSample<0>, sampleLength>},
    {"PerCharacter/bitmapTimesRoman24", measure<drawBitmapSample<1>, sampleLength>},
    {"PerCharacter/pixmapResizing", measure<drawLines<true>, linesLength>},
    {"PerCharacter/pixmapCached", measure<drawLines<false>, linesLength>},
};

// Everything lit in the frame just drawn, added up. Mesa's software driver
// keeps the back buffer through a swap; a read of the front one misses it.
long ink() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(viewport[2]) * viewport[3] * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return std::accumulate(pixels.begin(), pixels.end(), 0L);
}

// The program's window tree, laid out, with the sample typed into it through
// the program's own keyboard callback. Nothing runs the idle callback, so the
// spinning view stands still; the font view stays current.
bool openProgram(int& argc, char** argv) {
    glutInit(&argc, argv);
    createWindowTree();
    for (const char* c = sample; *c != '\0'; ++c) {
        keyboard(static_cast<unsigned char>(*c), 0, 0);
    }
    const Rect size = layoutSubWindows(initialMainWindow.width, initialMainWindow.height).font;
    const bool laidOut = waitUntil([&] {
        glutMainLoopEvent();
        glutSetWindow(fontView);
        // The view's reshape callback sets the viewport once the new size is known.
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        return viewport[2] == size.width && viewport[3] == size.height;
    });
    // Mesa gives the view's buffers their new size when it next swaps.
    displayFont();
    return laidOut;
}

}  // namespace

int main(int argc, char** argv) {
    DemoSession session;  // removes its server and folder when main() returns
    if (!session.startServer() || setenv("DISPLAY", DisplayString(session.display()), 1) != 0 ||
        chdir(session.workDir().c_str()) != 0 || !openProgram(argc, argv)) {
        std::fprintf(stderr, "draw_cost: no X server, or the font view was never laid out\n");
        return 1;
    }
    // GLUT lets go of the server before the session ends it, whichever way this ends.
    const struct LeaveGlut {
        ~LeaveGlut() { glutExit(); }
    } leaveGlut;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    // Which GL did the drawing belongs with the figures: printed above them
    // and stored in every output file.
    for (const GLenum id : {GL_RENDERER, GL_VERSION}) {
        const auto* value = reinterpret_cast<const char*>(glGetString(id));
        benchmark::AddCustomContext(id == GL_RENDERER ? "gl_renderer" : "gl_version",
                                    value != nullptr ? value : "unknown");
    }
    for (Line& line : lines) {
        if (line.font.Error() != 0 || !line.font.FaceSize(line.size, fontResolution)) {
            std::fprintf(stderr, "draw_cost: cannot use %s\n", DEJAVU_FONT);
            return 1;
        }
    }
    // Same glyphs, same ink, wherever they stand: the cached lines stand in
    // for the font view's only while they draw exactly what it draws.
    displayFont();
    const long program = ink();
    redraw<drawLines<false>>();
    if (ink() != program || program == 0) {
        std::fprintf(stderr, "draw_cost: the cached lines differ from the font view's\n");
        return 1;
    }
    // Wall-clock time, since llvmpipe rasterises on threads of its own; the fastest and the
    // slowest repetition show how far other processes on the machine moved the figures.
    for (const auto& [name, run] : benchmarks) {
        benchmark::RegisterBenchmark(name, run)
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond)
            ->ComputeStatistics("min",
                                [](const std::vector<double>& v) { return percentile(v, 0); })
            ->ComputeStatistics("max",
                                [](const std::vector<double>& v) { return percentile(v, 1); });
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
