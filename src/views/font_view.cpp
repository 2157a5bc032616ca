// Draws a fixed explanatory line and the shared text as anti-aliased pixmaps
// that FTGL renders from a TrueType file through FreeType. The file is read
// once, at start-up; if it cannot be used the view shows a notice instead,
// and the rest of the program runs on.
#include "font_view.h"

#include <FTGL/ftgl.h>
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app_state.h"
#include "font_file.h"
#include "platform/desktop.h"

namespace {

// Raster positions in view units; the glyphs themselves are window pixels and
// never stretch with the view.
constexpr float lineX = -140.0f;
constexpr float messageY = 30.0f;
constexpr float textY = -30.0f;
constexpr float noticeLineStep = 40.0f;  // a line of the notice to the next

// All the view knows of its font, from start-up until the process ends.
struct {
    // The file's bytes as they were at start-up. FreeType reads glyphs from
    // them on every redraw, so whatever later happens to the file (shortened,
    // rewritten, removed) never reaches the program. Freed only by exit(),
    // after the last redraw.
    FontFile file;
    std::string path;  // where it was read from
    // Created once and never deleted: it lives as long as the process, which
    // ends through GLUT's exit() when the top-level window closes.
    FTGLPixmapFont* face = nullptr;
    // FTGL crashes when it renders with a font whose file failed to load, or
    // whose last FaceSize failed, so every draw asks this first.
    bool usable = false;
    // Each place tried that gave no font, and why; said, and shown in place of
    // the text, a line a place, once no place gives one.
    std::vector<std::pair<std::string, std::string>> failures;
} font;

const char* freetypeReason(FT_Error error) {
    // FreeType's own list of error codes and messages; Debian builds the
    // library without FT_Error_String, so the table is made here.
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {e, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST }
    static const struct {
        FT_Error code;
        const char* message;
    } reasons[] =
#include FT_ERRORS_H
        ;
    for (const auto& reason : reasons) {
        if (reason.code == error) {
            return reason.message;
        }
    }
    return "unknown FreeType error";
}

// Gives the font up, saying why each place tried gave none.
void giveUpFont(const std::string& reason) {
    font.usable = false;
    font.failures.emplace_back(font.path, reason);
    for (const auto& [place, why] : font.failures) {
        std::fprintf(stderr, "gltextdemo: cannot load font \"%s\": %s\n", place.c_str(),
                     why.c_str());
    }
}

// Why the file cannot be used as the font, or nothing once it is the font.
std::string loadFont(const std::string& path) {
    font.path = path;
    std::string reason = readFontFile(path.c_str(), font.file);
    if (reason.empty()) {
        font.face = new FTGLPixmapFont(font.file.data.get(), font.file.size);
        font.usable = font.face->Error() == 0;
        if (!font.usable) {
            // FreeType keeps nothing of a face it could not open, so the
            // bytes, up to 64 MiB of them, need not be held any longer.
            font.file = {};
            reason = freetypeReason(font.face->Error());
        }
    }
    return reason;
}

// FaceSize also discards every glyph prepared so far, even at an unchanged
// size, so each redraw rasterises its glyphs afresh.
bool useSize(unsigned size) {
    if (font.usable && !font.face->FaceSize(size, fontResolution)) {
        giveUpFont(freetypeReason(font.face->Error()));
    }
    return font.usable;
}

}  // namespace

void initFontView() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // FTGL takes the colour that glRasterPos latches, so it must be set before
    // any raster position; nothing changes it afterwards.
    glColor3f(1.0f, 1.0f, 1.0f);
    // The working directory's file comes first, even one that cannot be used.
    // Where there is none, the system's own.
    std::string reason = loadFont(fontFile);
    if (font.file.missing) {
        font.failures.emplace_back(fontFile, reason);
        const std::string systemFont = systemFontFile(fontFamily, fontFile, reason);
        font.path = fontFamily;
        reason = systemFont.empty() ? reason : loadFont(systemFont);
    }
    if (!reason.empty()) {
        giveUpFont(reason);
    }
    useSize(fontTextSize);
    // Left as the current matrix on purpose, as in the stroke views. Only the
    // raster positions pass through it.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-viewWidth / 2, viewWidth / 2, -viewHeight / 2, viewHeight / 2);
}

void displayFont() {
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    if (useSize(fontMessageSize)) {
        glRasterPos2f(lineX, messageY);
        font.face->Render(fontMessage);
    }
    glRasterPos2f(lineX, textY);
    if (useSize(fontTextSize)) {
        // FTGL reads a char string as UTF-8; widened, every byte of the text
        // is the one character it stands for.
        wchar_t wide[textCapacity];
        widenText(text.chars, wide);
        font.face->Render(wide);
    } else {
        float y = textY;
        for (const auto& [place, reason] : font.failures) {
            glRasterPos2f(lineX, y);
            y -= noticeLineStep;
            for (char c : "Could not load " + place + ": " + reason + ".") {
                glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<unsigned char>(c));
            }
        }
    }
    glPopMatrix();
    glutSwapBuffers();
}
