#pragma once
// The output page's own skins (its background in both languages, the equaliser buttons, the
// delay-unit buttons, the band bypass buttons) and the rule for a strip's link badge.

#include "platform/qt/Fonts.h"

#include <QSize>

#include <array>

// The page template's dialog units: its controls line up with the pixel places of the strips,
// the graph and the selectors at 5 × 12 pixels per 4 × 8 units.
inline constexpr DialogUnits kPageUnits{5, 12};

// The PEQ/GEQ, all-bypass and reset buttons.
inline constexpr QSize kEqButtonSize{56, 24};

// Describes the page's skin ids once; every page construction may call it.
void RegisterOutputPageSkins();

// The checked bitmap of a strip's link button for a link value: entry value − 1 of the strip's
// badge table for the group numbers 1..10 the link buttons give out, the plain link bitmap for
// 0 and for every other value (the link editor's member masks, a value read from a device).
int LinkBadgeBitmap(int linkValue, const std::array<int, 12> &badges, int plainBitmap);
