#pragma once
// Fonts by pixel size and dialog-unit geometry. The faces the program names are mapped to the
// installed metric-compatible ones (Arial → Liberation Sans, Arial Narrow → Liberation Sans Narrow,
// SimSun and the other Chinese faces → WenQuanYi Micro Hei), and every font keeps a Chinese
// fallback so mixed texts show whole.
// Heights follow the Windows rule: > 0 is the cell height (ascent + descent), < 0 the character
// height, 0 a default. Geometry is in pixels at 96 DPI whatever the display.

#include "platform/WinCompat.h"

#include <QFont>
#include <QRect>
#include <QString>

// The installed family that stands for a face name.
QString MapFontFace(const QString &face);
// Registers the face mappings as Qt substitutions (once; after the application object exists).
void RegisterFontSubstitutions();
// Windows weight (0..1000, 0 = normal; larger values are clamped) to Qt's weight.
QFont::Weight FontWeightFromWin(int weight);
// A font as CreateFont would give it: face, height rule above, weight, italic, underline.
QFont MakeFont(const QString &face, int height, int weight = 400, bool italic = false, bool underline = false);
// A font of a size in tenths of a point at 96 DPI, as CreatePointFont gives it.
QFont MakePointFont(const QString &face, int tenthsOfPoint, int weight = 400, bool italic = false);

// The dialog base units of a template font: average character width and character height.
struct DialogUnits {
    int cx = 6;
    int cy = 13;
};
DialogUnits DialogUnitsOf(const QFont &font);
// The base units of the templates' font (MS Shell Dlg, 8 points).
DialogUnits DefaultDialogUnits();
QFont DefaultDialogFont();
// x px = dlu × cx / 4, y px = dlu × cy / 8, rounded as MulDiv rounds.
int DluToPixelsX(int dlu, DialogUnits u);
int DluToPixelsY(int dlu, DialogUnits u);
// A template rectangle (x, y, width, height in dialog units) in pixels.
QRect DluRect(int x, int y, int w, int h, DialogUnits u = DefaultDialogUnits());
QSize DluSize(int w, int h, DialogUnits u = DefaultDialogUnits());
