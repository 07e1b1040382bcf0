#pragma once
// The process-wide fonts, dialog brush and curve colours of the user interface. The colours are
// constants; the fonts and the brush are made by InitQtGlobals() once the application object
// exists (it also registers the font substitutions). Controls select them and never change them.

#include "platform/WinCompat.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <array>

extern QFont g_fontArial16;       // Arial 16, normal
extern QFont g_fontArial14;       // Arial 14, normal
extern QFont g_fontArial12;       // Arial 12, normal
extern QFont g_fontListCn;        // list font of the Chinese UI (SimSun 16)
extern QFont g_fontListEn;        // list font of the English UI (Arial 16)
extern QFont g_fontArial16Heavy;  // Arial 16, heaviest weight
extern QBrush g_brDialogBk;       // dialog background

constexpr COLORREF kDialogBkColour = 0x00EEE4E3;  // red 227, green 228, blue 238

extern const QColor g_clrEffectCurve;
extern const std::array<QColor, 2> g_clrMicCurve;
extern const std::array<QColor, 7> g_clrMusicCurve;
extern const std::array<QColor, 10> g_clrOutCurve;
extern const std::array<QColor, 2> g_clrOverlayCurve;

// Idempotent; call after the QApplication exists.
void InitQtGlobals();

// Call before the QApplication is made: windows keep their pixel sizes on every display (no
// high-DPI scaling), as layouts and skins are given in pixels at 96 DPI.
void PrepareUiEnvironment();

inline QColor ToQColor(COLORREF c) { return QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))); }
inline COLORREF ToColorRef(const QColor &c) { return RGB(unsigned(c.red()), unsigned(c.green()), unsigned(c.blue())); }
