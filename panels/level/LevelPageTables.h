#pragma once
// The level and delay page's fixed tables and plain rules, apart from its widgets: the control ids
// of its template, where each speaker type shows its delay and icon and which lock group it
// belongs to, the lock toggles, the input columns' places for an input layout and AUX group, and
// the page's keyboard order. The page and its tests read them.

#include <array>
#include <functional>
#include <optional>
#include <span>

struct SpeakerGroupTable;

namespace levelpage {

constexpr int kOutputs = 8;
constexpr int kInputs = 6;
constexpr int kDelayPositions = 15;
constexpr int kSpeakerTypes = 24;

// Control ids of the page's template.
enum : int {
    IDC_MASTER_EDIT = 2568,
    IDC_MASTER_SPIN = 2569,
    IDC_MASTER_FADER = 2570,
    IDC_MASTER_SWITCH = 2755,
    IDC_LINK_INDICATOR = 2771,
    IDC_INPUT_EDIT = 3000,     // + input 0..5
    IDC_INPUT_SPIN = 3010,     // + input 0..5 (3016 is bound and never set up)
    IDC_INPUT_FADER = 3020,    // + input
    IDC_INPUT_BUTTON = 4460,   // + input
    IDC_OUT_EDIT = 3030,       // + output 0..7
    IDC_OUT_SPIN = 3040,
    IDC_OUT_FADER = 3050,
    IDC_OUT_ON = 3060,
    IDC_OUT_POLARITY = 3070,
    IDC_PLACEHOLDER = 2791,
    IDC_TYPE_LABEL = 2696,
    IDC_METER = 4800,
    IDC_DELAY_EDIT = 6000,     // + position 0..14
    IDC_DELAY_SPIN = 6020,     // + position
    IDC_DELAY_STEP_BUTTON = 5800,  // + position: the edit's embedded minus / plus button
    IDC_UNIT_MS = 2683,
    IDC_UNIT_CM = 2684,
    IDC_UNIT_INCH = 2685,
    IDC_ICON_FIRST = 6040,
    IDC_ICON_LAST = 6063,
    IDC_TOGGLE_FIRST = 6800,
    IDC_TOGGLE_LAST = 6811,
};

// A rectangle of the template, in dialog units.
struct DluBox {
    int x, y, w, h;
};

// ---- speaker positions and delay locks ----

enum class LockGroup { None = -1, Centre, FrontLeft, FrontRight, RearLeft, RearRight, Subwoofer };

struct SpeakerPlace {
    int icon;        // the icon's control id
    int x, y;        // the icon's top-left corner; the icon takes its image's size
    int images[4];   // PNG ids: normal, hover, down, checked
    int delay;       // delay position k: edit 6000 + k, step control 6020 + k
    LockGroup group;
};
// The place of speaker type 1..24; null for another type.
const SpeakerPlace *PlaceOfType(int type);
// The speaker type whose icon has this id, or 0.
int TypeOfIcon(int iconId);
// Where delay edit k (0..14) sits.
DluBox DelayEditBox(int k);

struct ToggleSpec {
    int id;
    LockGroup group;
    int kind;         // the front groups' pairing kind 1..4; 0 for the other groups
    int x, y;         // top-left; the toggle takes its image's size
    int images[6];    // PNG ids: normal, hover, down, checked normal, hover, down
    int width, height;  // the image's size in pixels
};
// The twelve toggles in id order.
std::span<const ToggleSpec> Toggles();
const ToggleSpec *ToggleById(int id);
// The toggle a group shows: kind picks among the front groups' four (0 when the kind is not
// 1..4); the others have one.
int ToggleOf(LockGroup group, int kind);

// A group's state word (-1 no lock possible, 0 unlocked, 1 locked), member list (entry k holds k
// for a member output, else -1) and pairing kind (front groups; 0 for the others) in a table.
struct GroupRef {
    int *state = nullptr;
    int *members = nullptr;
    int kind = 0;
};
GroupRef GroupOf(SpeakerGroupTable &table, LockGroup group);

// ---- input columns ----

// For an input layout 0..3, the recorded place (0..5) each input's column moves to, -1 when the
// column is hidden; nothing for another layout, which changes nothing.
std::optional<std::array<int, kInputs>> InputColumnPlaces(int layout);
// For an AUX group 0..2, whether the AUX2 and AUX3 columns are shown; nothing for another group.
std::optional<std::array<bool, 2>> AuxColumnsShown(int group);

// ---- keyboard order ----

// Master edit; input edits 3000..3005; delay edits 6000..6014; output gain edits 3030..3037.
extern const std::array<int, 30> kNavOrder;
// The position of an id in the order, 0 when it is not listed.
int NavIndex(int id);
// The control the focus moves to from id: the next visible one after it (the master edit when
// none is, or from the last), or the previous visible one (from the first, the search starts at
// the last). 0 when no control qualifies.
int NavNext(int id, const std::function<bool(int)> &visible);
int NavPrevious(int id, const std::function<bool(int)> &visible);

}  // namespace levelpage
