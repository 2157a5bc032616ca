// What drawing text costs on this GL: one redraw of the pixmap-font view the
// way the program does it (a size change before each line, so every glyph is
// rasterised afresh) against the same redraw from cached glyphs, and the cost
// per character of each way of drawing text that the program uses.
#include <FTGL/ftgl.h>
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// The window is sized like the font view at the program's first layout, and
// every view of the program maps 300 x 225 units onto its window.
constexpr int windowWidth = 630;
constexpr int windowHeight = 120;
constexpr double viewHalfWidth = 150.0;
constexpr double viewHalfHeight = 112.5;

// Raster positions and sizes of the two lines, as in the font view.
constexpr float lineX = -140.0f;
constexpr float messageY = 30.0f;
constexpr float textY = -30.0f;
constexpr unsigned resolution = 72;
constexpr unsigned messageSize = 18;
constexpr unsigned textSize = 24;

constexpr char message[] = "Text is rendered with Freetype and Ftgl in this sub-window.";
// As long as the longest text the program accepts: 31 characters.
constexpr char sample[] = "The quick brown fox jumps over ";
constexpr int messageLength = sizeof message - 1;
constexpr int sampleLength = sizeof sample - 1;
static_assert(sampleLength == 31, "the sample fills the program's text");

// Stroke text is drawn at the program's scale, one font unit per view unit,
// starting again at the left edge whenever the next character would leave the
// view, so that every character is rasterised rather than clipped away.
constexpr float strokeLeft = -140.0f;
constexpr float strokeRight = 140.0f;
constexpr float strokeBaseline = -50.0f;

const char* fontPath = "verdana.ttf";
FTGLPixmapFont* resizedFont = nullptr;  // sized before every line, as in the program
FTGLPixmapFont* messageFont = nullptr;  // sized once, so its glyphs stay cached
FTGLPixmapFont* textFont = nullptr;     // sized once, so its glyphs stay cached
wchar_t sampleWide[sampleLength + 1];
bool windowShown = false;

void noteShown() {
    windowShown = true;
}

bool openWindow(int& argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(windowWidth, windowHeight);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("draw cost");
    glutDisplayFunc(noteShown);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    // Left current, as in the program's views: their transformations and
    // raster positions all go through the projection matrix.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-viewHalfWidth, viewHalfWidth, -viewHalfHeight, viewHalfHeight);
    // Measure a mapped window with its real viewport: wait for the first
    // display, which freeglut issues after the window is shown and reshaped.
    // A loaded X server can take a while to map it.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!windowShown && std::chrono::steady_clock::now() < giveUp) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return windowShown;
}

bool openFonts() {
    resizedFont = new FTGLPixmapFont(fontPath);
    messageFont = new FTGLPixmapFont(fontPath);
    textFont = new FTGLPixmapFont(fontPath);
    for (FTGLPixmapFont* font : {resizedFont, messageFont, textFont}) {
        if (font->Error() != 0) {
            return false;
        }
    }
    for (int i = 0; i <= sampleLength; ++i) {
        sampleWide[i] = static_cast<unsigned char>(sample[i]);
    }
    return resizedFont->FaceSize(textSize, resolution) &&
           messageFont->FaceSize(messageSize, resolution) &&
           textFont->FaceSize(textSize, resolution);
}

// Both lines of the font view, each font sized before its line.
void drawLinesResizing() {
    resizedFont->FaceSize(messageSize, resolution);
    glRasterPos2f(lineX, messageY);
    resizedFont->Render(message);
    glRasterPos2f(lineX, textY);
    resizedFont->FaceSize(textSize, resolution);
    resizedFont->Render(sampleWide);
}

// Both lines of the font view from glyphs prepared earlier.
void drawLinesCached() {
    glRasterPos2f(lineX, messageY);
    messageFont->Render(message);
    glRasterPos2f(lineX, textY);
    textFont->Render(sampleWide);
}

template <void (*drawLines)()>
void redraw() {
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    drawLines();
    glPopMatrix();
    glutSwapBuffers();
}

void drawStrokeSample() {
    float pen = strokeLeft;
    glPushMatrix();
    glTranslatef(strokeLeft, strokeBaseline, 0.0f);
    for (const char* c = sample; *c != '\0'; ++c) {
        const int code = static_cast<unsigned char>(*c);
        const float advance = glutStrokeWidthf(GLUT_STROKE_ROMAN, code);
        if (pen + advance > strokeRight) {
            glPopMatrix();
            glPushMatrix();
            glTranslatef(strokeLeft, strokeBaseline, 0.0f);
            pen = strokeLeft;
        }
        glutStrokeCharacter(GLUT_STROKE_ROMAN, code);
        pen += advance;
    }
    glPopMatrix();
}

template <int fontIndex>
void drawBitmapSample() {
    void* const fonts[] = {GLUT_BITMAP_HELVETICA_18, GLUT_BITMAP_TIMES_ROMAN_24};
    glRasterPos2f(lineX, textY);
    for (const char* c = sample; *c != '\0'; ++c) {
        glutBitmapCharacter(fonts[fontIndex], static_cast<unsigned char>(*c));
    }
}

// glFinish() in every iteration, so llvmpipe's rasterisation is counted too
// and not left queued for the next iteration.
template <void (*draw)(), int characters>
void measure(benchmark::State& state) {
    draw();  // the cached fonts build their glyphs here, outside the timing
    glFinish();
    for (auto _ : state) {
        draw();
        glFinish();
    }
    if (characters > 0) {
        state.SetItemsProcessed(state.iterations() * characters);
        // Shown in seconds per character, such as 4.5u for 4.5 microseconds.
        state.counters["time_per_char"] =
            benchmark::Counter(characters, benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
    }
}

// The stroke characters with or without the rotating view's line state, set
// outside the timing since the program sets it once and keeps it.
template <bool smoothWide>
void measureStroke(benchmark::State& state) {
    if (smoothWide) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glLineWidth(3.0f);
    }
    measure<drawStrokeSample, sampleLength>(state);
    if (smoothWide) {
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_BLEND);
        glLineWidth(1.0f);
    }
}

void clearAndSwap() {
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

// Wall-clock time, since llvmpipe rasterises on threads of its own; and
// besides the median, the fastest repetition, which other processes on the
// machine disturbed least.
void measuredOnTheClock(benchmark::internal::Benchmark* family) {
    family->UseRealTime()
        ->Unit(benchmark::kMicrosecond)
        ->ComputeStatistics("min", [](const std::vector<double>& values) {
            return *std::min_element(values.begin(), values.end());
        });
}

// The floor under every measurement of characters: glFinish() alone.
void drawNothing() {}

constexpr int linesLength = messageLength + sampleLength;

// Whole redraws of the font view, and what clearing and swapping alone cost.
BENCHMARK(measure<redraw<drawLinesResizing>, linesLength>)
    ->Name("FontViewRedraw/resizing")
    ->Apply(measuredOnTheClock);
BENCHMARK(measure<redraw<drawLinesCached>, linesLength>)
    ->Name("FontViewRedraw/cached")
    ->Apply(measuredOnTheClock);
BENCHMARK(measure<clearAndSwap, 0>)
    ->Name("FontViewRedraw/clearAndSwapOnly")
    ->Apply(measuredOnTheClock);

// The characters alone, without clearing or swapping.
BENCHMARK(measure<drawNothing, 0>)->Name("PerCharacter/finishOnly")->Apply(measuredOnTheClock);
BENCHMARK(measureStroke<true>)
    ->Name("PerCharacter/strokeRomanSmooth3px")
    ->Apply(measuredOnTheClock);
BENCHMARK(measureStroke<false>)
    ->Name("PerCharacter/strokeRomanPlain1px")
    ->Apply(measuredOnTheClock);
BENCHMARK(measure<drawBitmapSample<0>, sampleLength>)
    ->Name("PerCharacter/bitmapHelvetica18")
    ->Apply(measuredOnTheClock);
BENCHMARK(measure<drawBitmapSample<1>, sampleLength>)
    ->Name("PerCharacter/bitmapTimesRoman24")
    ->Apply(measuredOnTheClock);
BENCHMARK(measure<drawLinesResizing, linesLength>)
    ->Name("PerCharacter/pixmapResizing")
    ->Apply(measuredOnTheClock);
BENCHMARK(measure<drawLinesCached, linesLength>)
    ->Name("PerCharacter/pixmapCached")
    ->Apply(measuredOnTheClock);

// The usual console table, followed by how many times longer a redraw takes
// when every glyph is rasterised afresh than when the glyphs are cached.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions the median and the fastest repetition stand for
            // the benchmark; without, its single run does.
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool wanted = run.run_type == Run::RT_Aggregate &&
                                (run.aggregate_name == "median" || run.aggregate_name == "min");
            if (run.error_occurred || !(single || wanted)) {
                continue;
            }
            const std::string statistic = single ? "single run" : run.aggregate_name;
            const std::string& name = run.run_name.function_name;
            if (name == "FontViewRedraw/resizing") {
                redraws_[statistic].resizing = run.GetAdjustedRealTime();
            } else if (name == "FontViewRedraw/cached") {
                redraws_[statistic].cached = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override {
        for (const auto& [statistic, times] : redraws_) {
            if (times.resizing > 0.0 && times.cached > 0.0) {
                GetOutputStream() << "FontViewRedraw resizing/cached (" << statistic
                                  << ") = " << times.resizing / times.cached << " ("
                                  << times.resizing << " us / " << times.cached << " us)\n";
            }
        }
        ConsoleReporter::Finalize();
    }

  private:
    struct RedrawTimes {
        double resizing = 0.0;  // microseconds
        double cached = 0.0;
    };
    std::map<std::string, RedrawTimes> redraws_;
};

}  // namespace

int main(int argc, char** argv) {
    if (!openWindow(argc, argv)) {
        std::fprintf(stderr, "draw_cost: the window was never shown\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    // Which GL did the drawing belongs with the figures: printed in the
    // context above them and stored in every output file.
    for (const auto& [key, id] :
         {std::pair{"gl_renderer", GL_RENDERER}, {"gl_version", GL_VERSION}}) {
        const auto* value = reinterpret_cast<const char*>(glGetString(id));
        benchmark::AddCustomContext(key, value != nullptr ? value : "unknown");
    }
    if (argc > 2) {
        std::fprintf(stderr, "usage: draw_cost [benchmark options] [font.ttf]\n");
        return 2;
    }
    if (argc == 2) {
        fontPath = argv[1];
    }
    if (!openFonts()) {
        std::fprintf(stderr, "draw_cost: cannot use the font \"%s\"\n", fontPath);
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
