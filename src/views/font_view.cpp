// Draws a fixed explanatory line and the shared text as anti-aliased pixmaps
// that FTGL renders from a TrueType file through FreeType. The file is read
// once, at start-up; if it cannot be used the view shows a notice instead,
// and the rest of the program runs on.
#include "font_view.h"

#include <FTGL/ftgl.h>
#include <GL/glu.h>
#include <GL/glut.h>
#include <fcntl.h>
#include <ft2build.h>
#include <sys/stat.h>
#include <unistd.h>
#include FT_FREETYPE_H

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app_state.h"

namespace {

constexpr char fontFile[] = "verdana.ttf";  // looked up in the working directory
// The file is read whole at start-up. The largest fonts in common use, the
// CJK collections, take some 20 to 30 MiB; anything far larger is not a font
// worth waiting for.
constexpr std::size_t maxFontBytes = std::size_t{64} << 20;
constexpr char tooLarge[] = "larger than 64 MiB";
constexpr char fontMessage[] = "Text is rendered with Freetype and Ftgl in this sub-window.";

// At 72 dots per inch a size in points is the em size in pixels.
constexpr unsigned resolution = 72;
constexpr unsigned messageSize = 18;
constexpr unsigned textSize = 24;

// Raster positions in view units; the glyphs themselves are window pixels and
// never stretch with the view.
constexpr float lineX = -140.0f;
constexpr float messageY = 30.0f;
constexpr float textY = -30.0f;

// The font file's bytes as they were at start-up. FreeType reads glyphs from
// them on every redraw, so whatever later happens to the file (shortened,
// rewritten, removed) never reaches the program. Freed only by exit(), after
// the last redraw.
std::unique_ptr<unsigned char[]> fontBytes;
std::size_t fontByteCount = 0;
// Created once and never deleted: it lives as long as the process, which ends
// through GLUT's exit() when the top-level window closes.
FTGLPixmapFont* font = nullptr;
// FTGL crashes when it renders with a font whose file failed to load, or
// whose last FaceSize failed, so every draw asks this first.
bool fontUsable = false;
std::string notice;  // shown instead of the text once the font has failed

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

void giveUpFont(const std::string& reason) {
    fontUsable = false;
    std::fprintf(stderr, "gltextdemo: cannot load font \"%s\": %s\n", fontFile, reason.c_str());
    notice = std::string("Could not load ") + fontFile + ": " + reason + ".";
}

// FaceSize also discards every glyph prepared so far, even at an unchanged
// size, so each redraw rasterises its glyphs afresh.
bool useSize(unsigned size) {
    if (fontUsable && !font->FaceSize(size, resolution)) {
        giveUpFont(freetypeReason(font->Error()));
    }
    return fontUsable;
}

const char* kindOf(mode_t mode) {
    return S_ISDIR(mode)    ? "a directory"
           : S_ISFIFO(mode) ? "a named pipe"
           : S_ISCHR(mode)  ? "a character device"
           : S_ISBLK(mode)  ? "a block device"
           : S_ISSOCK(mode) ? "a socket"
                            : "something else";
}

// Why an entry of this kind and size cannot be a font file, or nothing.
std::string unusable(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return std::string("not a regular file but ") + kindOf(info.st_mode);
    }
    return static_cast<std::uintmax_t>(info.st_size) > maxFontBytes ? tooLarge : "";
}

// Reads exactly the size fstat gave: a file that turns out longer or shorter
// is being written at this moment, and what was read would be neither the old
// font nor the new one.
std::string readAll(int fd, std::size_t size) {
    if (size == 0) {
        return "the file is empty";
    }
    // Left uninitialised, so each page is touched once, by read(), rather
    // than zero-filled first. One byte more tells a file that has grown.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size + 1]);
    std::size_t length = 0;
    while (length <= size) {
        const ssize_t got = read(fd, bytes.get() + length, size + 1 - length);
        if (got == 0) {
            break;
        }
        if (got < 0 && errno != EINTR) {
            return std::strerror(errno);
        }
        length += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    if (length != size) {
        return "the file changed while it was read";
    }
    fontBytes = std::move(bytes);
    fontByteCount = size;
    return "";
}

// Reads the whole font file into fontBytes, or says why it cannot. Whatever
// the name stands for, nothing here waits: a named pipe or a device is turned
// away before it is opened (opening a pipe waits for a writer; opening a
// device may set it going), and O_NONBLOCK covers one swapped in between.
std::string readFontFile() {
    struct stat info {};
    if (stat(fontFile, &info) != 0) {
        return std::strerror(errno);
    }
    if (std::string reason = unusable(info); !reason.empty()) {
        return reason;
    }
    const int fd = open(fontFile, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    std::string reason = fstat(fd, &info) != 0 ? std::strerror(errno) : unusable(info);
    if (reason.empty()) {
        reason = readAll(fd, static_cast<std::size_t>(info.st_size));
    }
    close(fd);
    return reason;
}

}  // namespace

void initFontView() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // FTGL takes the colour that glRasterPos latches, so it must be set before
    // any raster position; nothing changes it afterwards.
    glColor3f(1.0f, 1.0f, 1.0f);
    if (const std::string reason = readFontFile(); !reason.empty()) {
        giveUpFont(reason);
    } else {
        font = new FTGLPixmapFont(fontBytes.get(), fontByteCount);
        fontUsable = font->Error() == 0;
        if (!fontUsable) {
            // FreeType keeps nothing of a face it could not open, so the
            // bytes, up to 64 MiB of them, need not be held any longer.
            fontBytes.reset();
            giveUpFont(freetypeReason(font->Error()));
        }
    }
    useSize(textSize);
    // Left as the current matrix on purpose, as in the stroke views. Only the
    // raster positions pass through it.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-viewWidth / 2, viewWidth / 2, -viewHeight / 2, viewHeight / 2);
}

void displayFont() {
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    if (useSize(messageSize)) {
        glRasterPos2f(lineX, messageY);
        font->Render(fontMessage);
    }
    glRasterPos2f(lineX, textY);
    if (useSize(textSize)) {
        // FTGL reads a char string as UTF-8; widened, every byte of the text
        // is the character of the same number, 0 to 255.
        wchar_t wide[textCapacity];
        widenLatin1(text.chars, wide);
        font->Render(wide);
    } else {
        for (char c : notice) {
            glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<unsigned char>(c));
        }
    }
    glPopMatrix();
    glutSwapBuffers();
}
