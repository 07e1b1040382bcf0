#pragma once
// Skins of the mixer dialog, drawn by code: the source mix panel's background (twelve row cells
// with the recessed field under each row's edit), the mixer's backgrounds in Chinese and English
// (the source captions down the left edge, the output captions under the panels) and the
// horizontal level sliders. The layout constants below place the panel's rows and the mixer's
// panels; the backgrounds draw their cells and captions at the same places.
//
//   Skins::RegisterMixSkins();   // idempotent; the mix panels call it when they are made
//
// UI thread only.

#include <QRect>

namespace Skins {

void RegisterMixSkins();

}  // namespace Skins

// Pixel layout of a source mix panel (116 x 570) and of the mixer that holds eight of them.
namespace MixLayout {
constexpr QSize kPanelSize{116, 570};
constexpr int kRows = 12;
// Top of row r's slider (r = 0..11); the edit is centred on the slider's middle.
constexpr int kSliderTop[kRows] = {8, 54, 99, 143, 187, 231, 275, 319, 362, 406, 451, 495};
constexpr QSize kSlider{56, 20};
constexpr int kSliderX = 48;
constexpr int kEditX = 9, kEditW = 34, kEditH = 18;
constexpr QRect EditRect(int row) { return QRect(kEditX, kSliderTop[row] + kSlider.height() / 2 - kEditH / 2, kEditW, kEditH); }
constexpr QRect SliderRect(int row) { return QRect(QPoint(kSliderX, kSliderTop[row]), kSlider); }
// The row's cell on the panel's background.
constexpr QRect CellRect(int row) { return QRect(4, kSliderTop[row] - 6, 108, kSlider.height() + 12); }

// The mixer: background, panels, selection frames and pair panels in client pixels.
constexpr QSize kMixerSize{1120, 624};
constexpr int kPanelTop = 16;
constexpr int PanelLeft(int i) { return 65 + 131 * i; }
constexpr QRect PanelRect(int i) { return QRect(PanelLeft(i), kPanelTop, kPanelSize.width(), kPanelSize.height()); }
// The panel widened by 4 left, 5 right, 6 up and 31 down (right and bottom inclusive of the edge).
constexpr QRect FrameRect(int i) { return QRect(QPoint(61 + 131 * i, 10), QPoint(186 + 131 * i, 617)); }
constexpr QRect PairPanelRect(int k) { return QRect(192 + 262 * k, 10, 117, 570); }
// The pair panel stands 6 pixels higher than the panels: its rows go 6 pixels down to stay level
// with theirs.
constexpr int kPairRowShift = kPanelTop - 10;
// Where the source captions and the output captions stand on the mixer's background.
constexpr int kCaptionLeft = 4, kCaptionWidth = 57;
constexpr QRect ColumnCaptionRect(int i) { return QRect(PanelLeft(i), 590, kPanelSize.width(), 24); }
}  // namespace MixLayout
