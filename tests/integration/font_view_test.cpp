// fontView seen from outside: where its two FTGL lines sit and their size, how keys reach the
// second, how Latin-1 and control codes draw, and the notice for an unusable verdana.ttf.
#include <X11/keysym.h>
#include <ft2build.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#include FT_FREETYPE_H

#include <cmath>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "demo_test.h"

namespace {

namespace fs = std::filesystem;

// The view at its first-layout size: the first line, descenders included,
// lies above the split row, the second, accents on capitals included, below.
const Box fontViewArea{0, 0, firstLayout.font.width, firstLayout.font.height};
const int split = fontViewSplit(fontViewArea.height);
const Box messageBand{0, 0, fontViewArea.width, split};
const Box textBand{0, split, fontViewArea.width, fontViewArea.height - split};
// Glyph bearings put the first ink a pixel or two either side of the pen.
constexpr int bearing = 3;

constexpr auto isBright = [](Rgb p) { return p.r >= 128 && p.g >= 128 && p.b >= 128; };

// No line reaches the outermost rows and columns at start-up: anything but black there is not the
// view's drawing, as the parent's grey in a strip the view gained by a resize and not yet redrawn.
bool edgesAreBlack(const Image& image) {
    const Box inside{1, 1, image.width - 2, image.height - 2};
    return countPixels(image, image.bounds(), isInk) == countPixels(image, inside, isInk);
}

// The row just below the glyphs' feet, from the top. Letters stand on the baseline, so the row
// above it is among the busiest, and only descenders and the overshoot of round letters reach below
// it: one past the lowest row with at least a quarter as many bright pixels as the area's busiest.
int baselineOf(const Image& image, const Box& area) {
    std::vector<int> bright;  // in each row, top to bottom
    for (int y = area.y; y < area.bottom(); ++y) {
        bright.push_back(countPixels(image, {area.x, y, area.width, 1}, isBright));
    }
    const int busiest = bright.empty() ? 0 : *std::max_element(bright.begin(), bright.end());
    const auto lowest =
        std::find_if(bright.rbegin(), bright.rend(), [&](int n) { return 4 * n >= busiest; });
    return busiest > 0 ? area.y + static_cast<int>(bright.rend() - lowest) : -1;
}

// What is wrong with a capture, one line for each check that fails.
struct Findings {
    void check(bool holds, const std::string& what) { text += holds ? "" : what + "\n"; }
    void near(const std::string& what, double actual, double expected, double tolerance) {
        std::ostringstream line;
        line << what << " is " << actual << ", expected " << expected << " +- " << tolerance;
        check(std::abs(actual - expected) <= tolerance, line.str());
    }

    std::string text;
};

// The start-up drawing: the message at 18 pixels above the placeholder at 24,
// both anti-aliased, starting at the left on their baselines.
Findings startUpFindings(const Image& image) {
    Findings found;
    found.check(edgesAreBlack(image), "ink on the view's edges");
    const std::optional<Box> message = inkBox(image, messageBand);
    const std::optional<Box> text = inkBox(image, textBand);
    found.check(message.has_value(), "no first line");
    found.check(text.has_value(), "no second line");
    if (!message || !text) {
        return found;
    }
    found.near("first line's left edge", message->x, fontLineLeft(fontViewArea.width), bearing);
    found.near("second line's left edge", text->x, fontLineLeft(fontViewArea.width), bearing);
    const int messageFoot = baselineOf(image, messageBand);
    const int textFoot = baselineOf(image, textBand);
    found.near("first line's baseline", messageFoot, messageBaseline(fontViewArea.height), 1);
    found.near("second line's baseline", textFoot, textBaseline(fontViewArea.height), 1);
    // Capitals and ascenders are about three quarters of the em: 13.5 pixels
    // at 18, 18 at 24 ("UXEN" has nothing higher than its capitals).
    found.near("first line's height above its baseline", messageFoot - message->y, 13.5, 1.5);
    found.near("second line's height above its baseline", textFoot - text->y, 18, 1.5);
    // A sentence across most of the view, and four capitals.
    found.near("first line's width", message->width, 530, 30);
    found.near("second line's width", text->width, placeholderWidth, 10);
    found.check(intermediateGreys(crop(image, messageBand)) >= 16, "first line not anti-aliased");
    found.check(intermediateGreys(crop(image, textBand)) >= 16, "second line not anti-aliased");
    found.check(countPixels(image, fontViewArea, isWhite) > 100, "glyphs not white");
    return found;
}

// The notice that stands in for both lines when the font cannot be used.
Findings noticeFindings(const Image& image) {
    Findings found;
    found.check(edgesAreBlack(image), "ink on the view's edges");
    found.check(!inkBox(image, messageBand), "ink on the first line, which needs the font");
    const std::optional<Box> notice = inkBox(image, textBand);
    found.check(notice.has_value(), "no notice on the second line");
    if (!notice) {
        return found;
    }
    found.near("notice's left edge", notice->x, fontLineLeft(fontViewArea.width), bearing);
    // Its first line; a second, below it, names the system's own font file.
    const int baseline = textBaseline(fontViewArea.height);
    const int foot = baselineOf(image, {0, split, fontViewArea.width, baseline + 5 - split});
    found.near("notice's baseline", foot, baseline, 1);
    // A sentence in Helvetica 18, whatever the reason far wider than the 63
    // pixels of the placeholder, and, by the edges' check, not cut off.
    found.check(notice->width > 300, "the notice is too narrow for a sentence");
    // A GLUT bitmap font: plain white on black, no shades in between.
    found.check(greyLevels(image, fontViewArea) == std::set<int>{0, 255},
                "the notice is not plain white on black");
    return found;
}

class FontViewTest : public DemoTest {
  protected:
    explicit FontViewTest(FontSetup font = FontSetup::Installed,
                          Findings (*first)(const Image&) = startUpFindings)
        : DemoTest(font), firstDrawing(first) {}

    // Each test starts from the view's first drawing, once right, so each checks the lines' places
    // and sizes, or the notice, first. Under load the view can hold a half-finished state a while,
    // so only a drawing that never comes right fails, saying what was wrong with the last one.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DemoTest::SetUp());
        Findings found{"fontView never held still at its first-layout size\n"};
        start = waitForFont([&](const Image& image) {
            found = firstDrawing(image);
            return found.text.empty();
        });
        ASSERT_TRUE(start) << (session.isAlive() ? found.text : "the program died\n");
    }

    // fontView at its first-layout size, finished drawing, satisfying the condition.
    std::optional<Image> waitForFont(const std::function<bool(const Image&)>& ready) {
        return waitForSteady(session, View::font, [&](const Image& image) {
            return image.bounds() == fontViewArea && ready(image);
        });
    }

    std::optional<Image> typeAndWait(const std::string& latin1,
                                     const std::function<bool(const Image&)>& ready) {
        if (!session.typeText(latin1)) {
            ADD_FAILURE() << "cannot type " << latin1;
            return std::nullopt;
        }
        return waitForFont(ready);
    }

    // The second line differs from the given drawing and still holds ink.
    std::optional<Image> typeAndWaitForNewLine(const std::string& latin1, const Image& before) {
        return typeAndWait(latin1, [&](const Image& image) {
            return !(crop(image, textBand) == crop(before, textBand)) && inkBox(image, textBand);
        });
    }

    std::optional<Image> typeAndWaitForInkFrom(const std::string& latin1, int x) {
        return typeAndWait(latin1, [&](const Image& image) {
            return inkBox(image, rightOf(textBand, x)).has_value();
        });
    }

    Findings (*firstDrawing)(const Image&);
    std::optional<Image> start;  // the first drawing, once right
};

TEST_F(FontViewTest, KeysRedrawTheSecondLineOnly) {
    const Box placeholder = *inkBox(*start, textBand);

    const std::optional<Image> one = typeAndWaitForNewLine("a", *start);
    ASSERT_TRUE(one) << "the second line did not change after a key";
    const Box letter = *inkBox(*one, textBand);
    EXPECT_LT(letter.width, placeholder.width / 2) << "the key did not replace the placeholder";
    EXPECT_TRUE(crop(*one, messageBand) == crop(*start, messageBand)) << "the first line changed";

    const std::optional<Image> two = typeAndWaitForInkFrom("b", letter.right());
    ASSERT_TRUE(two) << "the second key did not extend the second line";
    EXPECT_EQ(inkBox(*two, textBand)->x, letter.x) << "the line's start moved";
    EXPECT_TRUE(crop(*two, messageBand) == crop(*start, messageBand)) << "the first line changed";
}

TEST_F(FontViewTest, PlaceholderIsDrawnAsTheWholeText) {
    const std::optional<Image> first = typeAndWaitForNewLine("U", *start);
    ASSERT_TRUE(first) << "the first key did not replace the placeholder";

    // Typed out, the same four letters must give the very same pixels.
    const std::optional<Image> typed =
        typeAndWait("XEN", [&](const Image& image) { return image == *start; });
    EXPECT_TRUE(typed) << "typing UXEN does not draw what start-up drew";
}

TEST_F(FontViewTest, LatinOneByteDrawsItsOwnGlyph) {
    // The missing-glyph box first, to tell the letter apart from it.
    const std::optional<Image> tab = typeAndWaitForNewLine("\t", *start);
    ASSERT_TRUE(tab) << "the Tab drew nothing";
    const Box box = *inkBox(*tab, textBand);

    const std::optional<Image> accented = typeAndWaitForInkFrom("\xe9", box.right());
    ASSERT_TRUE(accented) << "e-acute (233) drew nothing";
    const Box eAcute = *inkBox(*accented, rightOf(textBand, box.right()));
    EXPECT_FALSE(crop(*accented, eAcute) == crop(*tab, box)) << "e-acute drew the missing glyph";

    const std::optional<Image> plain = typeAndWaitForInkFrom("e", eAcute.right());
    ASSERT_TRUE(plain) << "a plain e after e-acute drew nothing";
    const Box e = *inkBox(*plain, rightOf(textBand, eAcute.right()));

    // e-acute is the e with an accent above it.
    const Box body = *inkBox(*plain, Box{eAcute.x, e.y, eAcute.width, e.height});
    EXPECT_TRUE(crop(*plain, body) == crop(*plain, e)) << "no e in e-acute: " << body << " " << e;
    EXPECT_GT(countPixels(*plain, {eAcute.x, eAcute.y, eAcute.width, e.y - eAcute.y}, isBright), 3)
        << "no accent above the e";
}

// Started where there is no verdana.ttf, as from a menu, the program draws with
// the system's own font: fontconfig's match for Verdana, or Windows' Verdana.
class SystemFontTest : public FontViewTest {
  protected:
    SystemFontTest() : FontViewTest(FontSetup::System) {}
};

TEST_F(SystemFontTest, DrawsTheFirstDrawingWhereTheWorkingDirectoryHasNoFont) {
    EXPECT_EQ(session.stderrText(), "");
}

// The Windows program as a Windows user meets it, under Wine, with Windows' own Verdana. A key
// typed on another keyboard, in a locale whose code page gives its byte another character than
// Latin-1 does, is drawn as typed in the font view, and not at all in the echo, whose bitmap font
// has Latin-1 alone: never as another letter. freeglut hands the byte of the ANSI code page, which
// Wine takes from the locale.
struct CodePage {
    const char* name;
    const char* layout;
    const char* locale;
    KeySym key;
    char32_t character;

    friend void PrintTo(const CodePage& page, std::ostream* out) { *out << page.name; }
};

// FreeType's glyph as FTGL draws the typed line, 24 pixels, unhinted, anti-aliased, cut to its ink.
Image glyphOf(char32_t character) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    Image glyph;
    if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, DEJAVU_FONT, 0, &face) == 0 &&
        FT_Set_Char_Size(face, 0, 24 * 64, 72, 72) == 0 &&
        FT_Load_Char(face, character, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER) ==
            0) {
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        glyph = Image(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
        for (std::size_t i = 0; i < glyph.rgb.size(); ++i) {
            glyph.rgb[i] =
                bitmap.buffer[i / 3 / bitmap.width * bitmap.pitch + i / 3 % bitmap.width];
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return crop(glyph, inkBox(glyph).value_or(Box{}));
}

class WindowsUserTest : public FontViewTest, public testing::WithParamInterface<CodePage> {
  protected:
    WindowsUserTest() : FontViewTest(FontSetup::System) {}

    void SetUp() override {
        if (!underWine) {
            GTEST_SKIP() << "X11 hands the program Latin-1 alone: the key never reaches it";
        }
        session.setKeyboardLayout(GetParam().layout);
        env = {std::string("LANG=") + GetParam().locale,
               std::string("LC_ALL=") + GetParam().locale};
        FontViewTest::SetUp();
    }
};

TEST_P(WindowsUserTest, SystemFontDrawsTheCharacterTypedAndTheEchoNoOtherLetter) {
    const std::optional<Image> before = waitForPrompt();
    ASSERT_TRUE(before) << "the prompt never appeared";
    ASSERT_TRUE(session.pressKey(GetParam().key)) << "no key for it on " << GetParam().layout;
    const std::optional<Image> typed = waitForFont([&](const Image& image) {
        return !(crop(image, textBand) == crop(*start, textBand)) && inkBox(image, textBand);
    });
    ASSERT_TRUE(typed) << "the key changed nothing";
    const Image drawn = crop(*typed, *inkBox(*typed, textBand));
    const Image expected = glyphOf(GetParam().character);
    EXPECT_TRUE(drawn.bounds() == expected.bounds() &&
                std::equal(drawn.rgb.begin(), drawn.rgb.end(), expected.rgb.begin(),
                           [](int a, int b) { return std::abs(a - b) <= 2; }))
        << "drawn " << drawn.bounds() << ", not the character typed, " << expected.bounds();

    const std::optional<Image> echo = waitForSteady(
        session, View::topLevel, [](const Image&) { return true; }, firstPromptStrip);
    ASSERT_TRUE(echo);
    EXPECT_TRUE(crop(*echo, firstPromptStrip) == crop(*before, firstPromptStrip))
        << "the echo shows a letter";
    EXPECT_EQ(session.stderrText(), "");
}

const auto byName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(FontView, WindowsUserTest,
                         testing::Values(CodePage{"EuroSignOnAGermanKeyboard", "de", "de_DE.UTF-8",
                                                  XK_EuroSign, U'\u20ac'},
                                         CodePage{"CyrillicDeOnARussianKeyboard", "ru",
                                                  "ru_RU.UTF-8", XK_Cyrillic_DE, U'\u0414'}),
                         byName);

TEST_F(FontViewTest, ControlCodeDrawsTheMissingGlyphBoxAndAdvances) {
    const std::optional<Image> one = typeAndWaitForNewLine("a", *start);
    ASSERT_TRUE(one);
    const Box letter = *inkBox(*one, textBand);

    const std::optional<Image> tab = typeAndWaitForInkFrom("\t", letter.right());
    ASSERT_TRUE(tab) << "the Tab drew nothing";
    const Box box = *inkBox(*tab, rightOf(textBand, letter.right()));
    // DejaVu's missing glyph is a hollow rectangle, taller than a small letter.
    const Box inside{box.x + 3, box.y + 3, box.width - 6, box.height - 6};
    ASSERT_GT(inside.width, 0) << box;
    ASSERT_GT(inside.height, 0) << box;
    EXPECT_EQ(countPixels(*tab, inside, isInk), 0) << "not a hollow box: " << box;
    EXPECT_GT(box.height, letter.height) << box;

    // "a\tb" is wider than "ab": the b lands past the box, leaving all up to its right edge alone.
    const std::optional<Image> after = typeAndWaitForInkFrom("b", box.right());
    ASSERT_TRUE(after) << "no b after the box";
    const Box upToBox{0, textBand.y, box.right(), textBand.height};
    EXPECT_TRUE(crop(*after, upToBox) == crop(*tab, upToBox)) << "the b was drawn over the box";
}

// The font is what the file held at start-up: typed out between changes to the
// file, the placeholder gives back the start-up drawing, pixel for pixel.
TEST_F(FontViewTest, ChangesToTheFileDoNotReachTheRunningProgram) {
    const std::string path = session.fontPath();
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"shortened", [&] { fs::resize_file(path, fs::file_size(path) / 3); }},
        {"rewritten in place",
         [&] { std::fstream(path, std::ios::in | std::ios::out) << std::string(4096, 'x'); }},
        {"removed", [&] { fs::remove(path); }},
        {"replaced", [&] { std::ofstream(path) << "not a font"; }},
    };
    const std::string keys = "UXEN";
    std::optional<Image> before = start;
    for (std::size_t i = 0; i < keys.size() && before; ++i) {
        changes[i].second();
        before = typeAndWaitForNewLine(keys.substr(i, 1), *before);
        EXPECT_TRUE(before) << "no new line after the file was " << changes[i].first
                            << (session.isAlive() ? "" : ": the program died");
    }
    ASSERT_TRUE(before);
    EXPECT_TRUE(*before == *start) << "UXEN typed after the changes draws differently";
}

// A verdana.ttf that cannot be used, and the reason given for it.
struct BrokenFont {
    const char* name;
    bool (*make)(const char* path);  // puts it in place; false if it could not
    const char* reason;
    const char* notOnWindows = nullptr;  // why Windows cannot have it, if it cannot

    friend void PrintTo(const BrokenFont& font, std::ostream* out) { *out << font.name; }
};

bool nothing(const char*) {
    return true;
}

bool makeGarbage(const char* path) {
    std::ofstream out(path);
    std::fill_n(std::ostream_iterator<const char*>(out), 64, "This is a text file, not a font.\n");
    return out.good();
}

// Sparse: takes no room on the disk.
bool makeHuge(const char* path) {
    return std::ofstream(path).good() && truncate(path, (off_t{64} << 20) + 1) == 0;
}

// A PCF font: FreeType opens it, but it has no outlines and no strike at the sizes asked for.
bool makeBitmapOnly(const char* path) {
    gzFile in = gzopen("/usr/share/fonts/X11/misc/10x20-ISO8859-1.pcf.gz", "rb");
    if (in == nullptr) {
        ADD_FAILURE() << "needs xfonts-base for its 10x20 PCF font";
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    char buffer[4096];
    int read = 0;
    while ((read = gzread(in, buffer, sizeof buffer)) > 0) {
        out.write(buffer, read);
    }
    gzclose(in);
    return read == 0 && out.good();
}

// staticView's white strokes on black; never more than a small share of it.
bool showsStrokes(const Image& image) {
    const int whites = countPixels(image, image.bounds(), isWhite);
    const int other =
        countPixels(image, image.bounds(), [](Rgb p) { return p != black && !isWhite(p); });
    return whites > 20 && whites < image.width * image.height / 20 && other == 0;
}

class BrokenFontTest : public FontViewTest, public testing::WithParamInterface<BrokenFont> {
  protected:
    BrokenFontTest() : FontViewTest(FontSetup::Missing, noticeFindings) {}

    void SetUp() override {
        if (underWine && GetParam().notOnWindows != nullptr) {
            GTEST_SKIP() << GetParam().notOnWindows;
        }
        ASSERT_TRUE(GetParam().make(session.fontPath().c_str()));
        FontViewTest::SetUp();
    }
};

TEST_P(BrokenFontTest, NoticeReplacesTheTextAndTheOtherWindowsRunOn) {
    const std::optional<Image> strokesBefore = waitForSteady(session, View::still, showsStrokes);
    ASSERT_TRUE(strokesBefore) << "staticView draws nothing";
    ASSERT_TRUE(waitForPrompt()) << "the prompt never appeared";

    ASSERT_TRUE(session.typeText("ab"));
    EXPECT_TRUE(waitForEchoPast(prompt.right() + 10)) << "the prompt does not echo keys";
    EXPECT_TRUE(session.waitForCapture(View::still, [&](const Image& image) {
        return showsStrokes(image) && !(image == *strokesBefore);
    })) << "staticView does not follow the keys";

    // The keys redrew fontView too, which must neither die nor change the notice.
    const std::optional<Image> after = waitForFont([](const Image&) { return true; });
    ASSERT_TRUE(session.isAlive()) << "the program died";
    ASSERT_TRUE(after);
    EXPECT_TRUE(*after == *start) << "the notice changed after keys";
    // With no verdana.ttf at all, the notice names the system's font too.
    const bool nowhere = GetParam().make == nothing;
    EXPECT_EQ(session.stderrText(),
              "gltextdemo: cannot load font \"verdana.ttf\": " + std::string(GetParam().reason) +
                  "\n" + (nowhere ? noSystemFont : ""));
    const Box belowFirstLine{0, textBaseline(start->height) + 5, start->width, start->height};
    EXPECT_EQ(inkBox(*start, belowFirstLine).has_value(), nowhere)
        << "the notice's second line, on the system's font";
}

INSTANTIATE_TEST_SUITE_P(
    FontView, BrokenFontTest,
    testing::Values(
        BrokenFont{"Missing", nothing, "No such file or directory"},
        BrokenFont{"Empty", [](const char* path) { return std::ofstream(path).good(); },
                   "the file is empty"},
        BrokenFont{"Garbage", makeGarbage, "unknown file format"},
        BrokenFont{"Directory", [](const char* path) { return fs::create_directory(path); },
                   "not a regular file but a directory"},
        // Opening a named pipe for reading waits for a writer.
        BrokenFont{"NamedPipe", [](const char* path) { return mkfifo(path, 0644) == 0; },
                   "not a regular file but a named pipe",
                   "Windows has no named pipes among its files"},
        // Endless zeros.
        BrokenFont{"DeviceLink", [](const char* path) { return symlink("/dev/zero", path) == 0; },
                   "not a regular file but a character device",
                   "Windows has no devices among its files"},
        BrokenFont{"Huge", makeHuge, "larger than 64 MiB"},
        BrokenFont{"BitmapOnly", makeBitmapOnly, "invalid pixel size"}),
    byName);

}  // namespace
