// The pixmap-font view: TrueType text rendered through FTGL and FreeType.
#pragma once

void initFontView();
void displayFont();
