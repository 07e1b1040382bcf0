#pragma once
// The level and delay page's own skins: its backgrounds in both languages with the car seen from
// above, the faders of the input and output columns, the input buttons, the master switch, the
// speaker-type labels, the off looks of the on/off buttons, the link indicator and the delay-lock
// toggles. Ids the output page and the strips already describe are used as they are.

#include <QSize>

// Describes the page's skin ids once; every page construction may call it.
void RegisterLevelPageSkins();

// The size of an input button's skin (the AUX3 button's as well).
QSize InputButtonSize();
// The size of the master switch's skins.
QSize MasterSwitchSize();
