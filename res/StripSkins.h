#pragma once
// Skins of the output strips, the master volume strip and the curve overlay selector, drawn by
// code: strip and master backgrounds (with the captions and the recessed fields under their
// edits), fader tracks, the channel buttons, the mute, polarity, routing and link buttons with
// the link badges of the ten groups, and the overlay toggles. The layout constants below place
// the strips' controls; the backgrounds draw their captions and fields at the same places.
//
//   Skins::RegisterStripSkins();   // idempotent; the strips call it when they are made
//
// UI thread only.

#include <QRect>

namespace Skins {

void RegisterStripSkins();

}  // namespace Skins

// Pixel layout of an output strip (119 x 254, the size the page gives it).
namespace StripLayout {
constexpr QSize kSize{119, 254};
constexpr QPoint kChannelButton{20, 5};
constexpr QRect kGainEdit{58, 31, 54, 19};
constexpr QRect kGainCaption{6, 31, 50, 19};
constexpr QPoint kFader{66, 55};
constexpr int kRouteX = 7;
constexpr int kRouteY[3] = {70, 108, 146};
constexpr int kRouteCaptionX = 28;  // captions right of the toggles
constexpr int kRouteCaptionW = 36;
constexpr QPoint kPhase{7, 184};
constexpr QPoint kMute{68, 184};
constexpr QRect kDelayCaption{58, 208, 54, 13};
constexpr QPoint kLink{7, 224};
constexpr QRect kDelayEdit{58, 222, 54, 20};
}  // namespace StripLayout

// Pixel layout of the master volume strip (100 x 216).
namespace MasterLayout {
constexpr QSize kSize{100, 216};
constexpr QRect kCaption{6, 3, 88, 16};
constexpr QRect kEdit{20, 23, 60, 19};
constexpr QPoint kFader{4, 46};
constexpr QPoint kMute{38, 190};
constexpr QRect kDropDown{10, 160, 80, 20};
// The fader's track and margins: the scale lies left of the thumb's travel.
constexpr int kTrackW = 64, kTrackH = 140;
constexpr int kMarginLeft = 31, kMarginTop = 14, kMarginRight = 5, kMarginBottom = 8;
constexpr int kThumbH = 13;
}  // namespace MasterLayout

// Pixel layout of the curve overlay selector (38 x 210).
namespace OverlayLayout {
constexpr QSize kSize{38, 210};
constexpr QRect kCaption{1, 3, 36, 14};
constexpr int kToggleX = 1, kToggleY = 21, kToggleStep = 23;
constexpr QSize kToggle{36, 19};
}  // namespace OverlayLayout
