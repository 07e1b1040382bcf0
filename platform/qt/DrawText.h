#pragma once
// DrawText flags, in which the controls' text formats are phrased, and their Qt alignment.

inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;
inline constexpr unsigned DT_WORD_ELLIPSIS = 0x40000;

// Qt alignment and flags of a DrawText format.
int AlignmentFromDrawText(unsigned format);
