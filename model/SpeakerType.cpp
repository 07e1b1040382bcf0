#include "model/SpeakerType.h"

#include "res/Strings.h"

#include <algorithm>
#include <utility>

SpeakerTypeStates g_SpeakerTypeStates;
std::array<SpeakerPair, 4> g_SpeakerPairs;
std::array<SpeakerPair, 4> g_SpeakerPairsOrdered;

namespace {

// The names of codes 0..24 are the string table's rows from SpeakerNone on, in code order.
static_assert(static_cast<int>(StrId::SpeakerSubwoofer) - static_cast<int>(StrId::SpeakerNone) ==
              kSpeakerTypeCount - 1);

constexpr std::uint8_t BLOCKED = kSpeakerBlocked;
constexpr std::uint8_t USED = kSpeakerUsed;
constexpr std::uint8_t FREE = kSpeakerFree;

std::uint8_t &S(int k) { return g_SpeakerTypeStates.bytes[static_cast<std::size_t>(k)]; }

bool IsValidOutput(int output) { return output >= 0 && output < kSpeakerOutputs; }

// ---- the take and release rules, one row per code ------------------------------------------------
//
// A rule is a list of steps applied in order, each seeing the states the steps before it wrote,
// then a mirror of one side onto the other. A step sets one code's state:
//   Used, Blocked, Free   unconditionally;
//   Keep                  2 stays 2, 1 and 3 become 3 (keep what is used, free the rest);
// and, with a condition "none of the codes in `unused` is used", the value applies only when it
// holds, else `otherwise` (Blocked, or Leave: the state stays). The front tests count a part as
// used on either side, so their masks name both sides' codes.

enum class Set : std::uint8_t { Leave, Used, Blocked, Free, Keep };

struct Step {
    std::int8_t code = -1;  // -1 ends the list
    Set value = Set::Leave;
    std::uint32_t unused = 0;  // none of these codes may be used
    Set otherwise = Set::Leave;
    std::uint32_t free = 0;    // and all of these must be free
};

constexpr std::uint32_t C(std::initializer_list<int> codes)
{
    std::uint32_t mask = 0;
    for (int c : codes)
        mask |= 1u << c;
    return mask;
}

// Both sides of a front part (1 tweeter .. 5 midrange and woofer).
constexpr std::uint32_t F(std::initializer_list<int> parts)
{
    std::uint32_t mask = 0;
    for (int p : parts)
        mask |= (1u << p) | (1u << (p + 6));
    return mask;
}

constexpr std::uint32_t kAnyFrontPart = F({1, 2, 3, 4, 5});
constexpr std::uint32_t kAnyRearPart = C({13, 14, 16, 17});

struct Mirror {
    int from = 0;
    int to = 0;
    int count = 0;  // 0: no mirror
};
constexpr Mirror kFrontLeftToRight{1, 7, 6};
constexpr Mirror kFrontRightToLeft{7, 1, 6};
constexpr Mirror kRearLeftToRight{13, 16, 3};
constexpr Mirror kRearRightToLeft{16, 13, 3};

struct SpeakerTypeRule {
    std::array<Step, 6> take;
    std::array<Step, 6> release;
    Mirror mirror;
};

using U = Set;

constexpr Step Is(int code, Set v) { return {static_cast<std::int8_t>(code), v, 0, Set::Leave, 0}; }
constexpr Step If(int code, Set v, std::uint32_t unused, Set otherwise = Set::Leave)
{
    return {static_cast<std::int8_t>(code), v, unused, otherwise, 0};
}
constexpr Step IfFree(int code, Set v, std::uint32_t unused, std::uint32_t free)
{
    return {static_cast<std::int8_t>(code), v, unused, Set::Leave, free};
}

// Front parts of one side (base 0 left, 6 right): T, M, W, MT, MWF, FULL at base + 1 .. base + 6.
// The release of code 0 (NULL) looks at the other outputs and is not in the table.
constexpr SpeakerTypeRule kSpeakerTypeRules[kSpeakerTypeCount] = {
    // 0 NULL
    {{Is(0, U::Used)}, {}, {}},
    // 1..6 front left: tweeter, midrange, woofer, midrange and tweeter, midrange and woofer, full
    {{Is(1, U::Used), If(2, U::Keep, F({5}), U::Blocked), If(3, U::Keep, F({5}), U::Blocked), Is(4, U::Blocked),
      If(5, U::Keep, F({2, 3}), U::Blocked), Is(6, U::Blocked)},
     {Is(1, U::Free), If(4, U::Free, F({2, 1, 5})), If(6, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontLeftToRight},
    {{Is(1, U::Keep), Is(2, U::Used), Is(3, U::Keep), Is(4, U::Blocked), Is(5, U::Blocked), Is(6, U::Blocked)},
     {Is(2, U::Free), IfFree(4, U::Free, F({2}), C({1})), IfFree(5, U::Free, F({2}), C({3})),
      If(6, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontLeftToRight},
    {{If(1, U::Keep, F({4}), U::Blocked), If(2, U::Keep, F({4}), U::Blocked), Is(3, U::Used),
      If(4, U::Keep, F({2, 1}), U::Blocked), Is(5, U::Blocked), Is(6, U::Blocked)},
     {Is(3, U::Free), If(5, U::Free, F({2, 3, 4})), If(6, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontLeftToRight},
    {{Is(1, U::Blocked), Is(2, U::Blocked), Is(3, U::Keep), Is(4, U::Used), Is(5, U::Blocked), Is(6, U::Blocked)},
     {Is(4, U::Free), If(1, U::Free, F({4})), If(2, U::Free, F({4})), If(5, U::Free, F({4, 3})),
      If(6, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontLeftToRight},
    {{Is(1, U::Keep), Is(2, U::Blocked), Is(3, U::Blocked), Is(4, U::Blocked), Is(5, U::Used), Is(6, U::Blocked)},
     {Is(5, U::Free), If(2, U::Free, F({5})), If(3, U::Free, F({5})), If(4, U::Free, F({5, 1})),
      If(6, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontLeftToRight},
    {{Is(1, U::Blocked), Is(2, U::Blocked), Is(3, U::Blocked), Is(4, U::Blocked), Is(5, U::Blocked), Is(6, U::Used)},
     {If(1, U::Free, C({12})), If(2, U::Free, C({12})), If(3, U::Free, C({12})), If(4, U::Free, C({12})),
      If(5, U::Free, C({12})), Is(6, U::Free)},
     kFrontLeftToRight},
    // 7..12 front right: the same rules on the right side
    {{Is(7, U::Used), If(8, U::Keep, F({5}), U::Blocked), If(9, U::Keep, F({5}), U::Blocked), Is(10, U::Blocked),
      If(11, U::Keep, F({2, 3}), U::Blocked), Is(12, U::Blocked)},
     {Is(7, U::Free), If(10, U::Free, F({2, 1, 5})), If(12, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontRightToLeft},
    {{Is(7, U::Keep), Is(8, U::Used), Is(9, U::Keep), Is(10, U::Blocked), Is(11, U::Blocked), Is(12, U::Blocked)},
     {Is(8, U::Free), IfFree(10, U::Free, F({2}), C({7})), IfFree(11, U::Free, F({2}), C({9})),
      If(12, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontRightToLeft},
    {{If(7, U::Keep, F({4}), U::Blocked), If(8, U::Keep, F({4}), U::Blocked), Is(9, U::Used),
      If(10, U::Keep, F({2, 1}), U::Blocked), Is(11, U::Blocked), Is(12, U::Blocked)},
     {Is(9, U::Free), If(11, U::Free, F({2, 3, 4})), If(12, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontRightToLeft},
    {{Is(7, U::Blocked), Is(8, U::Blocked), Is(9, U::Keep), Is(10, U::Used), Is(11, U::Blocked), Is(12, U::Blocked)},
     {Is(10, U::Free), If(7, U::Free, F({4})), If(8, U::Free, F({4})), If(11, U::Free, F({4, 3})),
      If(12, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontRightToLeft},
    {{Is(7, U::Keep), Is(8, U::Blocked), Is(9, U::Blocked), Is(10, U::Blocked), Is(11, U::Used), Is(12, U::Blocked)},
     {Is(11, U::Free), If(8, U::Free, F({5})), If(9, U::Free, F({5})), If(10, U::Free, F({5, 1})),
      If(12, U::Free, kAnyFrontPart, U::Blocked)},
     kFrontRightToLeft},
    {{Is(7, U::Blocked), Is(8, U::Blocked), Is(9, U::Blocked), Is(10, U::Blocked), Is(11, U::Blocked), Is(12, U::Used)},
     {If(7, U::Free, C({6})), If(8, U::Free, C({6})), If(9, U::Free, C({6})), If(10, U::Free, C({6})),
      If(11, U::Free, C({6})), Is(12, U::Free)},
     kFrontRightToLeft},
    // 13..15 rear left: tweeter, woofer, full
    {{Is(13, U::Used), Is(14, U::Keep), Is(15, U::Blocked)},
     {Is(13, U::Free), If(15, U::Free, kAnyRearPart, U::Blocked)}, kRearLeftToRight},
    {{Is(14, U::Used), Is(13, U::Keep), Is(15, U::Blocked)},
     {Is(14, U::Free), If(15, U::Free, kAnyRearPart, U::Blocked)}, kRearLeftToRight},
    {{Is(13, U::Blocked), Is(14, U::Blocked), Is(15, U::Used)},
     {If(13, U::Free, C({18})), If(14, U::Free, C({18})), Is(15, U::Free)}, kRearLeftToRight},
    // 16..18 rear right
    {{Is(16, U::Used), Is(17, U::Keep), Is(18, U::Blocked)},
     {Is(16, U::Free), If(18, U::Free, kAnyRearPart, U::Blocked)}, kRearRightToLeft},
    {{Is(17, U::Used), Is(16, U::Keep), Is(18, U::Blocked)},
     {Is(17, U::Free), If(18, U::Free, kAnyRearPart, U::Blocked)}, kRearRightToLeft},
    {{Is(16, U::Blocked), Is(17, U::Blocked), Is(18, U::Used)},
     {If(16, U::Free, C({15})), If(17, U::Free, C({15})), Is(18, U::Free)}, kRearRightToLeft},
    // 19..21 centre: tweeter, woofer, full; no mirror
    {{Is(19, U::Used), Is(20, U::Keep), Is(21, U::Blocked)},
     {Is(19, U::Free), If(21, U::Free, C({20}), U::Blocked)}, {}},
    {{Is(20, U::Used), Is(19, U::Keep), Is(21, U::Blocked)},
     {Is(20, U::Free), If(21, U::Free, C({19}), U::Blocked)}, {}},
    {{Is(19, U::Blocked), Is(20, U::Blocked), Is(21, U::Used)},
     {Is(19, U::Free), Is(20, U::Free), Is(21, U::Free)}, {}},
    // 22..24 subwoofers: left, right, plain; no mirror
    {{Is(22, U::Used), Is(23, U::Keep), Is(24, U::Blocked)},
     {Is(22, U::Free), If(24, U::Free, C({23}), U::Blocked)}, {}},
    {{Is(23, U::Used), Is(22, U::Keep), Is(24, U::Blocked)},
     {Is(23, U::Free), If(24, U::Free, C({22}), U::Blocked)}, {}},
    {{Is(22, U::Blocked), Is(23, U::Blocked), Is(24, U::Used)},
     {Is(22, U::Free), Is(23, U::Free), Is(24, U::Free)}, {}},
};

bool NoneUsed(std::uint32_t codes)
{
    for (int k = 0; k < kSpeakerTypeCount; ++k)
        if ((codes >> k) & 1 && S(k) == USED)
            return false;
    return true;
}

bool AllFree(std::uint32_t codes)
{
    for (int k = 0; k < kSpeakerTypeCount; ++k)
        if ((codes >> k) & 1 && S(k) != FREE)
            return false;
    return true;
}

std::uint8_t Value(Set v, std::uint8_t current)
{
    switch (v) {
    case Set::Used: return USED;
    case Set::Blocked: return BLOCKED;
    case Set::Free: return FREE;
    case Set::Keep: return current == USED ? USED : FREE;
    case Set::Leave: break;
    }
    return current;
}

void Apply(const std::array<Step, 6> &steps, const Mirror &mirror)
{
    for (const Step &step : steps) {
        if (step.code < 0)
            break;
        std::uint8_t &s = S(step.code);
        s = Value(NoneUsed(step.unused) && AllFree(step.free) ? step.value : step.otherwise, s);
    }
    // The other side takes this side's states, leaving its own used codes alone.
    for (int k = 0; k < mirror.count; ++k) {
        if (S(mirror.to + k) != USED)
            S(mirror.to + k) = S(mirror.from + k) == USED ? FREE : S(mirror.from + k);
    }
}

// The partner code of a pairable type, or -1.
int PartnerCode(int code)
{
    if (code >= 1 && code <= 6)
        return code + 6;
    if (code >= 7 && code <= 12)
        return code - 6;
    if (code >= 13 && code <= 15)
        return code + 3;
    if (code >= 16 && code <= 18)
        return code - 3;
    if (code == 22)
        return 23;
    if (code == 23)
        return 22;
    return -1;
}

bool FillPairs(std::array<SpeakerPair, 4> &pairs)
{
    for (SpeakerPair &p : pairs)
        p.used = 0;
    for (int i = 0; i < kSpeakerOutputs - 1; ++i) {
        const int partner = PartnerCode(GetWorkingSpeakerType(i));
        if (partner < 0)
            continue;
        for (int j = i + 1; j < kSpeakerOutputs; ++j) {
            if (GetWorkingSpeakerType(j) != partner)
                continue;
            for (SpeakerPair &p : pairs) {
                if (!p.used) {
                    p = {i, j, 1};
                    break;
                }
            }
            break;
        }
    }
    return std::any_of(pairs.begin(), pairs.end(), [](const SpeakerPair &p) { return p.used != 0; });
}

bool TypeIn(int output, int lo, int hi)
{
    const int t = GetWorkingSpeakerType(output);
    return IsValidOutput(output) && t >= lo && t <= hi;
}

} // namespace

const char *SpeakerTypeName(int code, bool chinese)
{
    if (code < 0 || code >= kSpeakerTypeCount)
        return "";
    return Tr(static_cast<StrId>(static_cast<int>(StrId::SpeakerNone) + code), chinese);
}

bool IsTweeterSpeakerType(int code)
{
    return code == 1 || code == 7 || code == 13 || code == 16 || code == 19;
}

int GetWorkingSpeakerType(int output)
{
    return IsValidOutput(output) ? static_cast<int>(g_SpeakerTypeStates.Type(output)) : static_cast<int>(SPK_NULL);
}

void SetWorkingSpeakerType(int output, int code)
{
    if (IsValidOutput(output))
        g_SpeakerTypeStates.Type(output) = static_cast<std::uint8_t>(code);
}

void LoadWorkingSpeakerTypes(const std::uint8_t types[kSpeakerOutputs])
{
    for (int i = 0; i < kSpeakerOutputs; ++i)
        g_SpeakerTypeStates.Type(i) = types[i];
}

void StoreWorkingSpeakerTypes(std::uint8_t types[kSpeakerOutputs])
{
    for (int i = 0; i < kSpeakerOutputs; ++i)
        types[i] = g_SpeakerTypeStates.Type(i);
}

void ResetSpeakerTypeStates()
{
    g_SpeakerTypeStates.bytes.fill(FREE);
}

void RecomputeSpeakerTypeStates()
{
    for (int i = 0; i < kSpeakerOutputs; ++i)
        TakeSpeakerType(g_SpeakerTypeStates.Type(i), i);
}

void TakeSpeakerType(int code, int /*output*/)
{
    if (code < 0 || code >= kSpeakerTypeCount)
        return;
    const SpeakerTypeRule &rule = kSpeakerTypeRules[code];
    Apply(rule.take, rule.mirror);
}

void ReleaseSpeakerType(int code, int output)
{
    if (code < 0 || code >= kSpeakerTypeCount)
        return;
    if (code == SPK_NULL) {
        // NULL stays used while another output has no type.
        bool otherNull = false;
        for (int i = 0; i < kSpeakerOutputs; ++i) {
            if (i != output && g_SpeakerTypeStates.Type(i) == SPK_NULL)
                otherNull = true;
        }
        S(0) = otherNull ? USED : FREE;
        return;
    }
    const SpeakerTypeRule &rule = kSpeakerTypeRules[code];
    Apply(rule.release, rule.mirror);
}

bool RemoveDuplicateSpeakerTypes()
{
    bool removed = false;
    for (int i = 0; i < kSpeakerOutputs - 1; ++i) {
        const std::uint8_t t = g_SpeakerTypeStates.Type(i);
        if (t == SPK_NULL)
            continue;
        for (int j = i + 1; j < kSpeakerOutputs; ++j) {
            if (g_SpeakerTypeStates.Type(j) == t) {
                g_SpeakerTypeStates.Type(j) = SPK_NULL;
                removed = true;
            }
        }
    }
    return removed;
}

bool AnyOutputTyped()
{
    for (int i = 0; i < kSpeakerOutputs; ++i) {
        if (g_SpeakerTypeStates.Type(i) != SPK_NULL)
            return true;
    }
    return false;
}

int GetOutputSide(int output)
{
    if (!IsValidOutput(output))
        return -1;
    const int t = g_SpeakerTypeStates.Type(output);
    if ((t >= 1 && t <= 6) || (t >= 13 && t <= 15) || t == 22)
        return 0;
    if ((t >= 7 && t <= 12) || (t >= 16 && t <= 18) || t == 23)
        return 1;
    return -1;
}

bool IsFrontLeftPart(int output) { return TypeIn(output, 1, 5); }
bool IsFrontRightPart(int output) { return TypeIn(output, 7, 11); }
bool IsRearLeftPart(int output) { return TypeIn(output, 13, 14); }
bool IsRearRightPart(int output) { return TypeIn(output, 16, 17); }
bool IsCenterPart(int output) { return TypeIn(output, 19, 20); }

bool IsSameComponentSet(int output, int other)
{
    if (TypeIn(output, 1, 5))
        return IsFrontLeftPart(other);
    if (TypeIn(output, 7, 11))
        return IsFrontRightPart(other);
    if (TypeIn(output, 13, 14))
        return IsRearLeftPart(other);
    if (TypeIn(output, 16, 17))
        return IsRearRightPart(other);
    if (TypeIn(output, 19, 20))
        return IsCenterPart(other);
    return false;
}

bool FindSpeakerPairs()
{
    return FillPairs(g_SpeakerPairs);
}

bool FindOrderedSpeakerPairs()
{
    if (!FillPairs(g_SpeakerPairsOrdered))
        return false;
    for (SpeakerPair &p : g_SpeakerPairsOrdered) {
        if (p.used && GetOutputSide(p.first) == 1)
            std::swap(p.first, p.second);
    }
    return true;
}

bool AnySpeakerPair()
{
    return std::any_of(g_SpeakerPairs.begin(), g_SpeakerPairs.end(),
                       [](const SpeakerPair &p) { return p.used != 0; });
}

bool AnyOrderedSpeakerPair()
{
    return std::any_of(g_SpeakerPairsOrdered.begin(), g_SpeakerPairsOrdered.end(),
                       [](const SpeakerPair &p) { return p.used != 0; });
}
