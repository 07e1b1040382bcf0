#include "panels/level/LevelPageTables.h"

#include "model/SpeakerGroups.h"

#include <algorithm>

namespace levelpage {

namespace {

using G = LockGroup;

// By speaker type 1..24 (index type - 1).
constexpr SpeakerPlace kPlaces[kSpeakerTypes] = {
    {6040, 69, 190, {7100, 7101, 7102, 7102}, 0, G::FrontLeft},    // 1 FL tweeter
    {6041, 69, 211, {7103, 7104, 7105, 7105}, 1, G::FrontLeft},    // 2 FL midrange
    {6042, 69, 234, {7106, 7107, 7108, 7108}, 2, G::FrontLeft},    // 3 FL woofer
    {6043, 69, 211, {7103, 7104, 7105, 7105}, 1, G::FrontLeft},    // 4 FL midrange and tweeter
    {6044, 69, 211, {7103, 7104, 7105, 7105}, 1, G::FrontLeft},    // 5 FL midrange and woofer
    {6045, 69, 211, {7103, 7104, 7105, 7105}, 1, G::None},         // 6 FL full range
    {6046, 212, 190, {7110, 7111, 7112, 7112}, 3, G::FrontRight},  // 7 FR tweeter
    {6047, 212, 211, {7113, 7114, 7115, 7115}, 4, G::FrontRight},  // 8 FR midrange
    {6048, 212, 234, {7116, 7117, 7118, 7118}, 5, G::FrontRight},  // 9 FR woofer
    {6049, 212, 211, {7113, 7114, 7115, 7115}, 4, G::FrontRight},  // 10
    {6050, 212, 211, {7113, 7114, 7115, 7115}, 4, G::FrontRight},  // 11
    {6051, 212, 211, {7113, 7114, 7115, 7115}, 4, G::None},        // 12 FR full range
    {6055, 69, 264, {7100, 7101, 7102, 7102}, 8, G::RearLeft},     // 13 RL tweeter
    {6056, 69, 287, {7106, 7107, 7108, 7108}, 9, G::RearLeft},     // 14 RL woofer
    {6057, 69, 287, {7106, 7107, 7108, 7108}, 9, G::None},         // 15 RL full range
    {6058, 212, 264, {7110, 7111, 7112, 7112}, 10, G::RearRight},  // 16 RR tweeter
    {6059, 212, 287, {7116, 7117, 7118, 7118}, 11, G::RearRight},  // 17 RR woofer
    {6060, 212, 287, {7116, 7117, 7118, 7118}, 11, G::None},       // 18 RR full range
    {6052, 140, 174, {7120, 7121, 7122, 7122}, 6, G::Centre},      // 19 C tweeter
    {6053, 137, 192, {7123, 7124, 7125, 7125}, 7, G::Centre},      // 20 C woofer
    {6054, 137, 194, {7123, 7124, 7125, 7125}, 7, G::None},        // 21 C full range
    {6061, 105, 327, {585, 586, 587, 587}, 12, G::Subwoofer},      // 22 L subwoofer
    {6062, 166, 327, {588, 589, 590, 590}, 13, G::Subwoofer},      // 23 R subwoofer
    {6063, 136, 327, {582, 583, 584, 584}, 14, G::None},           // 24 subwoofer
};

constexpr DluBox kDelayBoxes[kDelayPositions] = {
    {22, 193, 44, 10},  {22, 215, 44, 10},  {22, 236, 44, 10},  {230, 193, 44, 10}, {230, 215, 44, 10},
    {230, 236, 44, 10}, {127, 150, 44, 10}, {127, 211, 44, 10}, {22, 267, 44, 10},  {22, 289, 44, 10},
    {230, 267, 44, 10}, {230, 289, 44, 10}, {98, 347, 44, 10},  {158, 347, 44, 10}, {127, 347, 44, 10},
};

constexpr ToggleSpec kToggles[] = {
    {6800, G::FrontLeft, 4, 85, 199, {7340, 7341, 7342, 7343, 7344, 7345}, 17, 80},
    {6801, G::FrontLeft, 1, 85, 199, {7400, 7401, 7402, 7403, 7404, 7405}, 17, 41},
    {6802, G::FrontLeft, 2, 85, 199, {7390, 7391, 7392, 7393, 7394, 7395}, 17, 80},
    {6803, G::FrontLeft, 3, 85, 221, {7410, 7411, 7412, 7413, 7414, 7415}, 17, 41},
    {6804, G::FrontRight, 4, 199, 199, {7350, 7351, 7352, 7353, 7354, 7355}, 17, 80},
    {6805, G::FrontRight, 1, 199, 199, {7430, 7431, 7432, 7433, 7434, 7435}, 17, 41},
    {6806, G::FrontRight, 2, 199, 199, {7420, 7421, 7422, 7423, 7424, 7425}, 17, 80},
    {6807, G::FrontRight, 3, 199, 221, {7440, 7441, 7442, 7443, 7444, 7445}, 17, 41},
    {6808, G::RearLeft, 0, 85, 273, {7360, 7361, 7362, 7363, 7364, 7365}, 17, 41},
    {6809, G::RearRight, 0, 199, 273, {7370, 7371, 7372, 7373, 7374, 7375}, 17, 41},
    {6810, G::Centre, 0, 159, 181, {7330, 7331, 7332, 7333, 7334, 7335}, 17, 36},
    {6811, G::Subwoofer, 0, 123, 317, {7380, 7381, 7382, 7383, 7384, 7385}, 84, 21},
};

}  // namespace

const SpeakerPlace *PlaceOfType(int type)
{
    return type >= 1 && type <= kSpeakerTypes ? &kPlaces[type - 1] : nullptr;
}

int TypeOfIcon(int iconId)
{
    for (int t = 1; t <= kSpeakerTypes; ++t)
        if (kPlaces[t - 1].icon == iconId)
            return t;
    return 0;
}

DluBox DelayEditBox(int k)
{
    return k >= 0 && k < kDelayPositions ? kDelayBoxes[k] : DluBox{0, 0, 0, 0};
}

std::span<const ToggleSpec> Toggles() { return kToggles; }

const ToggleSpec *ToggleById(int id)
{
    for (const ToggleSpec &t : kToggles)
        if (t.id == id)
            return &t;
    return nullptr;
}

int ToggleOf(LockGroup group, int kind)
{
    const bool front = group == G::FrontLeft || group == G::FrontRight;
    for (const ToggleSpec &t : kToggles)
        if (t.group == group && (!front || t.kind == kind))
            return t.id;
    return 0;
}

GroupRef GroupOf(SpeakerGroupTable &table, LockGroup group)
{
    switch (group) {
    case G::Centre: return {&table.centre.state, table.centre.members, 0};
    case G::FrontLeft: return {&table.frontLeft.state, table.frontLeft.members, table.frontLeft.pairingMode};
    case G::FrontRight: return {&table.frontRight.state, table.frontRight.members, table.frontRight.pairingMode};
    case G::RearLeft: return {&table.rearLeft.state, table.rearLeft.members, 0};
    case G::RearRight: return {&table.rearRight.state, table.rearRight.members, 0};
    case G::Subwoofer: return {&table.subwoofer.state, table.subwoofer.members, 0};
    case G::None: break;
    }
    return {};
}

std::optional<std::array<int, kInputs>> InputColumnPlaces(int layout)
{
    // Inputs: S/PDIF, Hi.Level, Phone, AUX1, AUX2, AUX3.
    switch (layout) {
    case 0: return std::array<int, kInputs>{-1, 0, -1, 1, 2, 3};
    case 1: return std::array<int, kInputs>{-1, 0, 1, 2, 3, 4};
    case 2: return std::array<int, kInputs>{0, 1, -1, 2, 3, 4};
    case 3: return std::array<int, kInputs>{0, 1, 2, 3, 4, 5};
    default: return std::nullopt;
    }
}

std::optional<std::array<bool, 2>> AuxColumnsShown(int group)
{
    switch (group) {
    case 0: return std::array<bool, 2>{true, true};
    case 1: return std::array<bool, 2>{true, false};
    case 2: return std::array<bool, 2>{false, false};
    default: return std::nullopt;
    }
}

const std::array<int, 30> kNavOrder = {
    2568, 3000, 3001, 3002, 3003, 3004, 3005, 6000, 6001, 6002, 6003, 6004, 6005, 6006, 6007,
    6008, 6009, 6010, 6011, 6012, 6013, 6014, 3030, 3031, 3032, 3033, 3034, 3035, 3036, 3037,
};

int NavIndex(int id)
{
    const auto it = std::find(kNavOrder.begin(), kNavOrder.end(), id);
    return it == kNavOrder.end() ? 0 : int(it - kNavOrder.begin());
}

int NavNext(int id, const std::function<bool(int)> &visible)
{
    const int last = int(kNavOrder.size()) - 1;
    const int index = NavIndex(id);
    if (index < last) {
        for (int k = index + 1; k <= last; ++k)
            if (visible(kNavOrder[std::size_t(k)]))
                return kNavOrder[std::size_t(k)];
    }
    return kNavOrder[0];
}

int NavPrevious(int id, const std::function<bool(int)> &visible)
{
    const int index = NavIndex(id);
    const int from = index == 0 ? int(kNavOrder.size()) - 1 : index - 1;
    for (int k = from; k >= 0; --k)
        if (visible(kNavOrder[std::size_t(k)]))
            return kNavOrder[std::size_t(k)];
    return 0;
}

}  // namespace levelpage
