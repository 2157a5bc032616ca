// The pixmap-font view: TrueType text rendered through FTGL and FreeType.
#pragma once

// The font file, looked up in the working directory, and the family the
// system's own fonts stand in with where there is none.
constexpr char fontFile[] = "verdana.ttf";
constexpr char fontFamily[] = "Verdana";

// Its fixed line above the shared text, and the sizes of the two lines. At 72
// dots per inch a size in points is the em size in pixels.
constexpr char fontMessage[] = "Text is rendered with Freetype and Ftgl in this sub-window.";
constexpr unsigned fontResolution = 72;
constexpr unsigned fontMessageSize = 18;
constexpr unsigned fontTextSize = 24;

void initFontView();
void displayFont();
