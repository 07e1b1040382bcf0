#pragma once
// The input page's own skins: its background in both languages, the input, main-source, title,
// Hi.Level mode and AUX mode buttons, the GEQ gain-row label and the band sliders' channels.

#include "platform/qt/Fonts.h"

// The page template's dialog units, as the output page's: 5 × 12 pixels per 4 × 8 units.
inline constexpr DialogUnits kInputPageUnits{5, 12};

// Describes the page's skin ids once; every page construction may call it.
void RegisterInputPageSkins();
