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

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

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

// The font file's bytes as they were at start-up. FreeType reads glyphs from
// them on every redraw, so whatever later happens to the file (shortened,
// rewritten, removed) never reaches the program. Freed only by exit(), after
// the last redraw.
FontBytes fontBytes;
// Created once and never deleted: it lives as long as the process, which ends
// through GLUT's exit() when the top-level window closes.
FTGLPixmapFont* font = nullptr;
// FTGL crashes when it renders with a font whose file failed to load, or
// whose last FaceSize failed, so every draw asks this first.
bool fontUsable = false;
std::string fontPath;  // where the font was read from
std::string notice;    // shown instead of the text once the font has failed, a line a place

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

void giveUpFont(const std::string& path, const std::string& reason) {
    fontUsable = false;
    std::fprintf(stderr, "gltextdemo: cannot load font \"%s\": %s\n", path.c_str(), reason.c_str());
    notice += (notice.empty() ? "" : "\n") + ("Could not load " + path + ": " + reason + ".");
}

// Why the file cannot be used as the font, or nothing once it is the font.
std::string loadFont(const std::string& path) {
    fontPath = path;
    std::string reason = readFontFile(path.c_str(), fontBytes);
    if (reason.empty()) {
        font = new FTGLPixmapFont(fontBytes.data.get(), fontBytes.size);
        fontUsable = font->Error() == 0;
        if (!fontUsable) {
            // FreeType keeps nothing of a face it could not open, so the
            // bytes, up to 64 MiB of them, need not be held any longer.
            fontBytes = {};
            reason = freetypeReason(font->Error());
        }
    }
    return reason;
}

// FaceSize also discards every glyph prepared so far, even at an unchanged
// size, so each redraw rasterises its glyphs afresh.
bool useSize(unsigned size) {
    if (fontUsable && !font->FaceSize(size, fontResolution)) {
        giveUpFont(fontPath, freetypeReason(font->Error()));
    }
    return fontUsable;
}

}  // namespace

void initFontView() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // FTGL takes the colour that glRasterPos latches, so it must be set before
    // any raster position; nothing changes it afterwards.
    glColor3f(1.0f, 1.0f, 1.0f);
    // The working directory's file comes first, even one that cannot be used.
    // Where there is none, the system's own.
    const std::string reason = loadFont(fontFile);
    if (reason == std::strerror(ENOENT)) {
        std::string systemReason;
        const std::string systemFont = systemFontFile(fontFamily, fontFile, systemReason);
        if (!systemFont.empty()) {
            systemReason = loadFont(systemFont);
        }
        if (!systemReason.empty()) {
            giveUpFont(fontFile, reason);
            giveUpFont(systemFont.empty() ? fontFamily : systemFont, systemReason);
        }
    } else if (!reason.empty()) {
        giveUpFont(fontFile, reason);
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
        font->Render(fontMessage);
    }
    glRasterPos2f(lineX, textY);
    if (useSize(fontTextSize)) {
        // FTGL reads a char string as UTF-8; widened, every byte of the text
        // is the one character it stands for.
        wchar_t wide[textCapacity];
        widenText(text.chars, wide);
        font->Render(wide);
    } else {
        float y = textY;
        for (char c : notice) {
            if (c == '\n') {
                glRasterPos2f(lineX, y -= noticeLineStep);
            } else {
                glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<unsigned char>(c));
            }
        }
    }
    glPopMatrix();
    glutSwapBuffers();
}
