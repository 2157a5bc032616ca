// Shows that the demo works on a machine without a display: runs it on a
// private Xvfb, drags the stroke text a little, types a sample line, and saves
// a PNG of the whole window once every place in it shows what it was given.
//
//   gltextdemo-snapshot [--font FILE] [--program PATH] [--methods FILE.png] OUTPUT.png
//       writes the picture, and with --methods the sample as each of the four
//       places draws it, enlarged; prints the picture's path, or fails naming
//       how the demo ended if it does not then close with status 0
//   gltextdemo-snapshot --probe-display            exits 0 if $DISPLAY can be opened
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "png_writer.h"
#include "x_session.h"

namespace {

constexpr char sampleLine[] = "Hello, GL!";
constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};

// The window as the program opens it. In it the prompt's colon ends before
// column promptEnd; the echo follows. The font view's fixed line lies above
// row fontViewSplit of the view, the typed one below.
constexpr Box windowArea{0, 0, 640, 480};
constexpr int promptEnd = 181;
constexpr int fontViewSplit = 52;
// In the echo's bitmap font the whole sample line is 79 pixels wide, 74
// without its "!". The font view's lines share a font: in every DejaVu face
// the sample line at 24 pixels is a fifth as wide as the fixed line at 18,
// "UXEN" an eighth.
constexpr int echoWidth = 77;
constexpr int fixedPerTyped = 6;
constexpr int strokeInk = 50;  // lit pixels enough to be text rather than a stray dot

// The places the picture is made of, in the top-level window's coordinates.
struct Places {
    Box rotating, still, fixedLine, typedLine, prompt, echo;
};

Places placesOf(const ViewLayout& views) {
    const Box& font = views.font;
    const int stripHeight = windowArea.height - font.bottom();
    return {views.rotating,
            views.still,
            {font.x, font.y, font.width, fontViewSplit},
            {font.x, font.y + fontViewSplit, font.width, font.height - fontViewSplit},
            {0, font.bottom(), promptEnd, stripHeight},
            {promptEnd, font.bottom(), windowArea.width - promptEnd, stripHeight}};
}

int inkWidth(const Image& window, const Box& area, Rgb background) {
    const std::optional<Box> ink = boundingBox(window, area, background);
    return ink ? ink->width : 0;
}

bool cornersAre(const Image& window, const Box& area, Rgb colour) {
    return window.at(area.x, area.y) == colour && window.at(area.right() - 1, area.y) == colour &&
           window.at(area.x, area.bottom() - 1) == colour &&
           window.at(area.right() - 1, area.bottom() - 1) == colour;
}

// The first place that does not yet show what it was given, or none. The
// spinning view changes on every frame, so any frame with ink will do.
const char* missingPlace(const Image& window, const ViewLayout& views) {
    if (!(window.bounds() == windowArea)) {
        return "the window never took its size";
    }
    const Places at = placesOf(views);
    const Rgb grey = window.at(0, 0);
    if (!isClearGrey(grey) || !cornersAre(window, windowArea, grey)) {
        return "the window never showed its grey clear colour";
    }
    // Bitmap glyphs are plain white on the grey: anything else in the strip is
    // a sub-window's old drawing from before it took its place.
    const Box strip{0, at.prompt.y, windowArea.width, at.prompt.height};
    if (inkWidth(window, at.prompt, grey) == 0 ||
        countPixels(window, strip, grey) + countPixels(window, strip, white) <
            strip.width * strip.height) {
        return "the prompt strip never showed the prompt";
    }
    if (inkWidth(window, at.echo, grey) < echoWidth) {
        return "the prompt strip never echoed the sample line";
    }
    // No line reaches the font view's corners, and the fixed line spans most of it.
    const int fixedWidth = inkWidth(window, at.fixedLine, black);
    if (!cornersAre(window, views.font, black) || 2 * fixedWidth < views.font.width) {
        return "the font view never showed its fixed line";
    }
    if (inkWidth(window, at.typedLine, black) * fixedPerTyped < fixedWidth) {
        return "the font view never showed the sample line";
    }
    if (countPixels(window, at.still, white) < strokeInk) {
        return "the still stroke view never showed any text";
    }
    if (at.rotating.width * at.rotating.height - countPixels(window, at.rotating, black) <
        strokeInk) {
        return "the spinning stroke view never showed any text";
    }
    return nullptr;
}

// At most 150 by 60 pixels of the area about the middle of its ink, with a
// few pixels of background around the ink where there is room.
Image inkCrop(const Image& window, const Box& area, Rgb background) {
    constexpr int margin = 4;
    const Image part = crop(window, area);
    const Box ink = boundingBox(part, part.bounds(), background).value_or(part.bounds());
    const int width = std::min(ink.width + 2 * margin, 150);
    const int height = std::min(ink.height + 2 * margin, 60);
    return crop(
        part, {ink.x + (ink.width - width) / 2, ink.y + (ink.height - height) / 2, width, height});
}

// The sample as each place draws it, enlarged four times without smoothing so
// that single pixels show, stacked top to bottom on light grey.
Image methodsPicture(const Image& window, const ViewLayout& views) {
    constexpr int zoom = 4;
    constexpr int gap = 12;
    const Places at = placesOf(views);
    const Image crops[] = {inkCrop(window, at.rotating, black), inkCrop(window, at.still, black),
                           inkCrop(window, at.typedLine, black),
                           inkCrop(window, at.echo, window.at(0, 0))};
    int width = 0, height = -gap;
    for (const Image& part : crops) {
        width = std::max(width, part.width * zoom);
        height += part.height * zoom + gap;
    }
    Image picture(width, height);
    std::fill(picture.rgb.begin(), picture.rgb.end(), 200);
    int top = 0;
    for (const Image& part : crops) {
        for (int y = 0; y < part.height * zoom; ++y) {
            for (int x = 0; x < part.width * zoom; ++x) {
                picture.set(x, top + y, part.at(x / zoom, y / zoom));
            }
        }
        top += part.height * zoom + gap;
    }
    return picture;
}

int fail(const std::string& what, const DemoSession* session = nullptr) {
    std::fprintf(stderr, "gltextdemo-snapshot: %s\n", what.c_str());
    if (session != nullptr && !session->stderrText().empty()) {
        std::fprintf(stderr, "the program said:\n%s", session->stderrText().c_str());
    }
    return 1;
}

int snapshot(const std::string& fontFile, const std::string& program, const std::string& output,
             const std::string& methods) {
    DemoSession session(FontSetup::Missing);
    std::error_code error;
    std::filesystem::copy_file(fontFile, session.fontPath(), error);
    if (error) {
        return fail("cannot copy the font " + fontFile + ": " + error.message());
    }
    if (!program.empty()) {
        session.setCommand({program});
    }
    if (!session.start()) {
        return fail("the demo did not start on a private Xvfb", &session);
    }
    const auto failed = [&](const char* what) {
        return fail(session.isAlive() ? what : "the demo ended before its window was drawn",
                    &session);
    };
    // A drag lands where it should only once the sub-windows have their
    // places. It goes before the keys, so a drawing of the keys shows it done.
    const ViewLayout views = programLayout(windowArea.width, windowArea.height);
    if (!session.waitForLayout(views)) {
        return failed("the sub-windows never took their places");
    }
    // From the centre of the still view towards its lower left: both stroke
    // views follow, and the spinning one turns the text about its centre.
    session.drag(session.views().still, 156, 120, 40, 170);
    session.focus();
    if (!session.typeText(sampleLine)) {
        return fail("cannot type the sample line");
    }
    // On each pass of its loop the program draws the top-level window, then
    // the spinning view, and the font view last, so a capture can catch the
    // whole echo beside a font view a key behind. Two new frames of the
    // spinning view after everything first shows, that pass is over.
    const char* missing = "the window could not be read";
    std::optional<Image> spin;
    int turns = 0;
    const std::optional<Image> window =
        session.waitForCapture(session.topLevel(), [&](const Image& now) {
            if ((missing = missingPlace(now, views)) != nullptr) {
                return false;
            }
            Image nowSpin = crop(now, views.rotating);
            turns += spin && !(nowSpin == *spin) ? 1 : 0;
            spin = std::move(nowSpin);
            missing = "the spinning stroke view stopped turning";
            return turns >= 2;
        });
    if (!window) {
        return failed(missing);
    }
    if (!writePng(*window, output)) {
        return fail("cannot write " + output);
    }
    if (!methods.empty() && !writePng(methodsPicture(*window, views), methods)) {
        return fail("cannot write " + methods);
    }
    // A crash on the way out is still a crash, whatever the picture shows.
    if (const std::optional<int> status = session.close(); !exitedCleanly(status)) {
        return fail("the demo did not close cleanly: " + describeEnding(status), &session);
    }
    std::printf("%s\n", std::filesystem::absolute(output).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args == std::vector<std::string>{"--probe-display"}) {
        Display* display = XOpenDisplay(nullptr);
        if (display != nullptr) {
            XCloseDisplay(display);
        }
        return display != nullptr ? 0 : 1;
    }
    std::map<std::string, std::string> options{
        {"--font", DEJAVU_FONT}, {"--program", ""}, {"--methods", ""}};
    std::string output;
    bool usable = true;
    for (std::size_t i = 0; i < args.size() && usable; ++i) {
        if (options.count(args[i]) != 0 && i + 1 < args.size()) {
            options[args[i]] = args[i + 1];
            ++i;
        } else {
            usable = output.empty() && !args[i].empty() && args[i][0] != '-';
            output = args[i];
        }
    }
    if (usable && !output.empty()) {
        return snapshot(options["--font"], options["--program"], output, options["--methods"]);
    }
    std::fprintf(stderr,
                 "usage: %s [--font FILE] [--program PATH] [--methods FILE.png] OUTPUT.png\n"
                 "       %s --probe-display\n",
                 argv[0], argv[0]);
    return 2;
}
