#pragma once
// Skins that the output page and the input page share: the PEQ/GEQ switch, all-bypass and reset
// buttons of an equaliser in both languages, and the band toggles. Describing them is one call
// that every page construction may make.

#include "res/Skins.h"

#include <QSize>

#include <cstdint>

enum class StrId : std::uint16_t;

// The PEQ/GEQ, all-bypass and reset buttons.
inline constexpr QSize kEqButtonSize{56, 24};

// Both language forms of a string-table text, for a skin that carries words.
SkinSpec SkinWords(SkinStyle style, SkinState state, QSize size, StrId id, QRgb accent = 0);

// Six ids of a two-state button: checked normal, hover, pressed, then unchecked normal, hover,
// pressed (a repeated id is described once, by its last entry).
void RegisterSixSkins(const int ids[6], SkinStyle style, QSize size, StrId checkedWords, StrId uncheckedWords,
                      QRgb checkedAccent);

// PEQ/GEQ 740..747, all-bypass 8820..8823 and 7000..7005, reset 359, 360, 7003, 7004, their
// disabled looks, and the band toggles 8830..8833.
void RegisterEqButtonSkins();
