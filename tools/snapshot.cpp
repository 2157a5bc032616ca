// Shows the demo works without a display: runs it on a private Xvfb, drags the stroke text a
// little, types a sample line, and saves a PNG of the whole window once every place in it is drawn.
//
//   gltextdemo-snapshot [--font FILE] [--program PATH] [--methods FILE.png] OUTPUT.png
//       writes the picture, and with --methods the sample as each of the four
//       places draws it, enlarged; prints the picture's path, or fails naming
//       how the demo ended if it does not then close with status 0. The demo
//       runs where FILE (DejaVu Sans if not given) is its verdana.ttf, or with
//       --font "" where it finds the machine's own fonts.
//   gltextdemo-snapshot --probe-display            exits 0 if $DISPLAY can be opened
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "session.h"

namespace {

// At most 150 by 60 pixels about the middle of the area's ink, with a margin.
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
Image methodsPicture(const Image& window) {
    constexpr int zoom = 4, gap = 12;
    const Places at = placesAt(window.width, window.height);
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
    DemoSession session(FontSetup::Machine);
    std::error_code error;
    if (!fontFile.empty() && !std::filesystem::copy_file(fontFile, session.fontPath(), error)) {
        return fail("cannot copy the font " + fontFile + ": " + error.message());
    }
    if (!program.empty()) {
        session.setCommand({program});
    }
    const auto failed = [&](const char* what) {
        return fail(session.isAlive() ? what : "the demo never ran, or ended before it was drawn",
                    &session);
    };
    // A drag lands where it should only once the sub-windows have their
    // places. It goes before the keys, so a drawing of the keys shows it done.
    if (!session.start()) {
        return failed("the window and its sub-windows never took their places");
    }
    // From the centre of the still view towards its lower left: both stroke
    // views follow, and the spinning one turns the text about its centre.
    session.drag(View::still, centreX, centreY, 40, 170);
    if (!session.typeText(sampleLine)) {
        return fail("cannot type the sample line");
    }
    // Each pass of the program's loop draws the top-level window, the spinning
    // view, then the font view, so a capture can catch the whole echo beside a
    // font view a key behind: two new spinning frames later, that pass is over.
    const char* missing = "the window could not be read";
    NewFrames spin;
    const std::optional<Image> window =
        session.waitForCapture(View::topLevel, [&](const Image& now) {
            missing = "the window never took its size";
            if (now.width != initialWindow.width || now.height != initialWindow.height ||
                (missing = missingPlace(now)) != nullptr) {
                return false;
            }
            spin.see(crop(now, firstLayout.rotating));
            missing = "the spinning stroke view stopped turning";
            return spin.count >= 2;
        });
    if (!window) {
        return failed(missing);
    }
    if (!writePng(*window, output)) {
        return fail("cannot write " + output);
    }
    if (!methods.empty() && !writePng(methodsPicture(*window), methods)) {
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
