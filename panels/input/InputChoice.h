#pragma once
// The rules of the input page's choices, apart from the buttons that show them: which inputs an
// AUX mode offers, where a choice of AUX mode moves the selection, and where the input buttons
// stand in each input layout. Plain functions; the page reads and writes the globals.
//
// Inputs (InputSourceCode): 0 S/PDIF, 1 Hi.Level, 2 Phone, 3 AUX1, 4 AUX2, 5 AUX3; 6 is none
// (OFF in the main-source menu).

#include <array>

namespace inchoice {

inline constexpr int kInputs = 6;
inline constexpr int kNone = 6;
inline constexpr int kSpdif = 0, kHiLevel = 1, kPhone = 2, kAux1 = 3, kAux2 = 4, kAux3 = 5;

// The input that stays selected when AUX mode `mode` is chosen: mode 1 has no AUX3, mode 2
// neither AUX2 nor AUX3; an input the mode lacks (and none) becomes AUX1. Mode 0 keeps every
// input; another mode value changes nothing.
int InputAfterAuxMode(int mode, int input);

// Whether the input button of `input` is hidden in AUX mode `mode` (AUX3 in mode 1, AUX2 and
// AUX3 in mode 2).
bool HiddenByAuxMode(int mode, int input);

// Where each input button stands in an input layout (byte 2 of the input block): the slot 0..5
// it moves to, or -1 when the layout hides it. `keep` is true for layout 3 and every value other
// than 0..2: the buttons stay where and as they are.
struct LayoutPlan {
    bool keep = true;
    std::array<int, kInputs> slot{0, 1, 2, 3, 4, 5};
};
LayoutPlan PlanLayout(int layout);

}  // namespace inchoice
