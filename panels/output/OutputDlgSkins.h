#pragma once
// The output page's own skins: its background in both languages, the equaliser buttons, the
// delay-unit buttons and the band bypass buttons.

#include "panels/output/EqButtonSkins.h"
#include "platform/qt/Fonts.h"

#include <QSize>

class QPainter;
class QRect;

#include <array>

// The page template's dialog units: its controls line up with the pixel places of the strips,
// the graph and the selectors at 5 × 12 pixels per 4 × 8 units.
inline constexpr DialogUnits kPageUnits{5, 12};


// Describes the page's skin ids once; every page construction may call it.
void RegisterOutputPageSkins();

// The page's background (ids 286 and 287) drawn straight into a painter at `r`; it covers `r`.
void PaintOutputPageBackground(QPainter &p, const QRect &r, bool chinese);
