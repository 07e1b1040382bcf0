#include "panels/input/InputChoice.h"

namespace inchoice {

int InputAfterAuxMode(int mode, int input)
{
    switch (mode) {
    case 1:
        return input == kAux3 || input == kNone ? kAux1 : input;
    case 2:
        return input == kAux2 || input == kAux3 || input == kNone ? kAux1 : input;
    default:
        return input;
    }
}

bool HiddenByAuxMode(int mode, int input)
{
    return (mode == 1 && input == kAux3) || (mode == 2 && (input == kAux2 || input == kAux3));
}

LayoutPlan PlanLayout(int layout)
{
    LayoutPlan plan;
    switch (layout) {
    case 0:  // neither S/PDIF nor Phone
        plan.keep = false;
        plan.slot = {-1, 0, -1, 1, 2, 3};
        break;
    case 1:  // Phone, no S/PDIF
        plan.keep = false;
        plan.slot = {-1, 0, 1, 2, 3, 4};
        break;
    case 2:  // S/PDIF, no Phone
        plan.keep = false;
        plan.slot = {0, 1, -1, 2, 3, 4};
        break;
    default:
        break;
    }
    return plan;
}

}  // namespace inchoice
