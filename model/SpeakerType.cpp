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

// 2 stays 2; blocked and free both become free.
std::uint8_t KeepUsedElseFree(std::uint8_t s) { return s == USED ? USED : FREE; }

// Tests over both front sides: a part counts as used when it is used on the left or the right.
bool NotUsedEitherSide(int leftCode) { return S(leftCode) != USED && S(leftCode + 6) != USED; }
bool NoFrontTweeterUsed() { return NotUsedEitherSide(1); }
bool NoFrontMidrangeUsed() { return NotUsedEitherSide(2); }
bool NoFrontWooferUsed() { return NotUsedEitherSide(3); }
bool NoFrontMidTweeterUsed() { return NotUsedEitherSide(4); }
bool NoFrontMidWooferUsed() { return NotUsedEitherSide(5); }
bool NoFrontPartUsed()
{
    for (int k = 1; k <= 5; ++k) {
        if (!NotUsedEitherSide(k))
            return false;
    }
    return true;
}
bool NoRearPartUsed()
{
    return S(13) != USED && S(14) != USED && S(16) != USED && S(17) != USED;
}

// Copies the states of one side to the other, leaving the other side's used codes alone.
void Mirror(int from, int to, int count)
{
    for (int k = 0; k < count; ++k) {
        if (S(to + k) != USED)
            S(to + k) = S(from + k) == USED ? FREE : S(from + k);
    }
}
void MirrorFrontLeftToRight() { Mirror(1, 7, 6); }
void MirrorFrontRightToLeft() { Mirror(7, 1, 6); }
void MirrorRearLeftToRight() { Mirror(13, 16, 3); }
void MirrorRearRightToLeft() { Mirror(16, 13, 3); }

// Front take rule on the six codes starting at base + 1 (base 0 left, 6 right); part is 1..6.
// Every cell is written in the order T, M, W, MT, MWF, FULL, each test seeing the cells before it.
void TakeFrontPart(int base, int part)
{
    std::uint8_t &T = S(base + 1);
    std::uint8_t &M = S(base + 2);
    std::uint8_t &W = S(base + 3);
    std::uint8_t &MT = S(base + 4);
    std::uint8_t &MWF = S(base + 5);
    std::uint8_t &FULL = S(base + 6);
    switch (part) {
    case 1:
        T = USED;
        M = NoFrontMidWooferUsed() ? KeepUsedElseFree(M) : BLOCKED;
        W = NoFrontMidWooferUsed() ? KeepUsedElseFree(W) : BLOCKED;
        MT = BLOCKED;
        MWF = NoFrontMidrangeUsed() && NoFrontWooferUsed() ? KeepUsedElseFree(MWF) : BLOCKED;
        FULL = BLOCKED;
        break;
    case 2:
        T = KeepUsedElseFree(T);
        M = USED;
        W = KeepUsedElseFree(W);
        MT = BLOCKED;
        MWF = BLOCKED;
        FULL = BLOCKED;
        break;
    case 3:
        T = NoFrontMidTweeterUsed() ? KeepUsedElseFree(T) : BLOCKED;
        M = NoFrontMidTweeterUsed() ? KeepUsedElseFree(M) : BLOCKED;
        W = USED;
        MT = NoFrontMidrangeUsed() && NoFrontTweeterUsed() ? KeepUsedElseFree(MT) : BLOCKED;
        MWF = BLOCKED;
        FULL = BLOCKED;
        break;
    case 4:
        T = BLOCKED;
        M = BLOCKED;
        W = KeepUsedElseFree(W);
        MT = USED;
        MWF = BLOCKED;
        FULL = BLOCKED;
        break;
    case 5:
        T = KeepUsedElseFree(T);
        M = BLOCKED;
        W = BLOCKED;
        MT = BLOCKED;
        MWF = USED;
        FULL = BLOCKED;
        break;
    case 6:
        T = M = W = MT = MWF = BLOCKED;
        FULL = USED;
        break;
    default:
        break;
    }
}

// The three-code pattern of the rear sides, the centre and the subwoofers: first, second, full.
void TakeTriple(int first, int which)
{
    std::uint8_t &A = S(first);
    std::uint8_t &B = S(first + 1);
    std::uint8_t &C = S(first + 2);
    switch (which) {
    case 0:
        A = USED;
        B = KeepUsedElseFree(B);
        C = BLOCKED;
        break;
    case 1:
        B = USED;
        A = KeepUsedElseFree(A);
        C = BLOCKED;
        break;
    case 2:
        A = BLOCKED;
        B = BLOCKED;
        C = USED;
        break;
    default:
        break;
    }
}

void ReleaseFrontPart(int base, int part)
{
    std::uint8_t &T = S(base + 1);
    std::uint8_t &M = S(base + 2);
    std::uint8_t &W = S(base + 3);
    std::uint8_t &MT = S(base + 4);
    std::uint8_t &MWF = S(base + 5);
    std::uint8_t &FULL = S(base + 6);
    switch (part) {
    case 1:
        T = FREE;
        if (NoFrontMidrangeUsed() && NoFrontTweeterUsed() && NoFrontMidWooferUsed())
            MT = FREE;
        break;
    case 2:
        M = FREE;
        if (NoFrontMidrangeUsed()) {
            if (T == FREE)
                MT = FREE;
            if (W == FREE)
                MWF = FREE;
        }
        break;
    case 3:
        W = FREE;
        if (NoFrontMidrangeUsed() && NoFrontWooferUsed() && NoFrontMidTweeterUsed())
            MWF = FREE;
        break;
    case 4:
        MT = FREE;
        if (NoFrontMidTweeterUsed()) {
            T = FREE;
            M = FREE;
        }
        if (NoFrontMidTweeterUsed() && NoFrontWooferUsed())
            MWF = FREE;
        break;
    case 5:
        MWF = FREE;
        if (NoFrontMidWooferUsed()) {
            M = FREE;
            W = FREE;
        }
        if (NoFrontMidWooferUsed() && NoFrontTweeterUsed())
            MT = FREE;
        break;
    case 6: {
        // The other side's full type keeps the parts blocked.
        const int otherFull = base == 0 ? 12 : 6;
        if (S(otherFull) != USED)
            T = M = W = MT = MWF = FREE;
        FULL = FREE;
        return;
    }
    default:
        return;
    }
    FULL = NoFrontPartUsed() ? FREE : BLOCKED;
}

void ReleaseRearPart(int first, int which)
{
    switch (which) {
    case 0:
    case 1:
        S(first + which) = FREE;
        S(first + 2) = NoRearPartUsed() ? FREE : BLOCKED;
        break;
    case 2: {
        const int otherFull = first == 13 ? 18 : 15;
        if (S(otherFull) != USED) {
            S(first) = FREE;
            S(first + 1) = FREE;
        }
        S(first + 2) = FREE;
        break;
    }
    default:
        break;
    }
}

// Centre and subwoofer release: the full code stays blocked while the sibling is used.
void ReleasePlainTriple(int first, int which)
{
    switch (which) {
    case 0:
        S(first) = FREE;
        S(first + 2) = S(first + 1) == USED ? BLOCKED : FREE;
        break;
    case 1:
        S(first + 1) = FREE;
        S(first + 2) = S(first) == USED ? BLOCKED : FREE;
        break;
    case 2:
        S(first) = S(first + 1) = S(first + 2) = FREE;
        break;
    default:
        break;
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
    if (code == 0) {
        S(0) = USED;
    } else if (code >= 1 && code <= 6) {
        TakeFrontPart(0, code);
        MirrorFrontLeftToRight();
    } else if (code >= 7 && code <= 12) {
        TakeFrontPart(6, code - 6);
        MirrorFrontRightToLeft();
    } else if (code >= 13 && code <= 15) {
        TakeTriple(13, code - 13);
        MirrorRearLeftToRight();
    } else if (code >= 16 && code <= 18) {
        TakeTriple(16, code - 16);
        MirrorRearRightToLeft();
    } else if (code >= 19 && code <= 21) {
        TakeTriple(19, code - 19);
    } else if (code >= 22 && code <= 24) {
        TakeTriple(22, code - 22);
    }
}

void ReleaseSpeakerType(int code, int output)
{
    if (code == 0) {
        bool otherNull = false;
        for (int i = 0; i < kSpeakerOutputs; ++i) {
            if (i != output && g_SpeakerTypeStates.Type(i) == SPK_NULL)
                otherNull = true;
        }
        S(0) = otherNull ? USED : FREE;
    } else if (code >= 1 && code <= 6) {
        ReleaseFrontPart(0, code);
        MirrorFrontLeftToRight();
    } else if (code >= 7 && code <= 12) {
        ReleaseFrontPart(6, code - 6);
        MirrorFrontRightToLeft();
    } else if (code >= 13 && code <= 15) {
        ReleaseRearPart(13, code - 13);
        MirrorRearLeftToRight();
    } else if (code >= 16 && code <= 18) {
        ReleaseRearPart(16, code - 16);
        MirrorRearRightToLeft();
    } else if (code >= 19 && code <= 21) {
        ReleasePlainTriple(19, code - 19);
    } else if (code >= 22 && code <= 24) {
        ReleasePlainTriple(22, code - 22);
    }
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
