#pragma once
// Speaker types of the eight outputs: the 25 codes and their names, the working copy of the
// outputs' types with the availability state of every code, the take and release rules that keep
// those states current, duplicate removal and the left/right partner search.
//
// Outputs are indexed 0..7 everywhere in this interface. All of it runs on the UI thread.

#include <array>
#include <cstdint>

// One byte per output: the loudspeaker the output drives.
enum SpeakerType : std::uint8_t {
    SPK_NULL = 0,
    SPK_FL_TWEETER = 1,
    SPK_FL_MIDRANGE = 2,
    SPK_FL_WOOFER = 3,
    SPK_FL_MID_TWEETER = 4,
    SPK_FL_MID_WOOFER = 5,
    SPK_FL_FULL = 6,
    SPK_FR_TWEETER = 7,
    SPK_FR_MIDRANGE = 8,
    SPK_FR_WOOFER = 9,
    SPK_FR_MID_TWEETER = 10,
    SPK_FR_MID_WOOFER = 11,
    SPK_FR_FULL = 12,
    SPK_RL_TWEETER = 13,
    SPK_RL_WOOFER = 14,
    SPK_RL_FULL = 15,
    SPK_RR_TWEETER = 16,
    SPK_RR_WOOFER = 17,
    SPK_RR_FULL = 18,
    SPK_C_TWEETER = 19,
    SPK_C_WOOFER = 20,
    SPK_C_FULL = 21,
    SPK_L_SUBWOOFER = 22,
    SPK_R_SUBWOOFER = 23,
    SPK_SUBWOOFER = 24,
};

constexpr int kSpeakerTypeCount = 25;        // codes 0..24
constexpr int kSpeakerOutputs = 8;
constexpr int kSpeakerNameIdEn = 6200;       // string-table id of code c: 6200 + c (English)
constexpr int kSpeakerNameIdCn = 6300;       // 6300 + c (Chinese)

// The name of a code in UTF-8 ("FL-M && T" keeps its doubled ampersand so that a menu shows one),
// or an empty text for a code above 24.
const char *SpeakerTypeName(int code, bool chinese);

// True for the tweeter codes 1, 7, 13, 16 and 19, whose outputs use the tweeter high-pass drag limits.
bool IsTweeterSpeakerType(int code);

// States of a code in the table.
constexpr std::uint8_t kSpeakerBlocked = 1;
constexpr std::uint8_t kSpeakerUsed = 2;
constexpr std::uint8_t kSpeakerFree = 3;

// The 36-byte state table: byte 0..24 the state of each code, byte 25 spare, bytes 26..33 the working
// speaker type of outputs 0..7, bytes 34..35 spare.
struct SpeakerTypeStates {
    static constexpr int kTypeOffset = 26;
    std::array<std::uint8_t, 36> bytes{};

    std::uint8_t &State(int code) { return bytes[static_cast<std::size_t>(code)]; }
    std::uint8_t &Type(int output) { return bytes[static_cast<std::size_t>(kTypeOffset + output)]; }
};
static_assert(sizeof(SpeakerTypeStates) == 36);

extern SpeakerTypeStates g_SpeakerTypeStates;

// A left/right partner pair of outputs.
struct SpeakerPair {
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int32_t used = 0;
};
extern std::array<SpeakerPair, 4> g_SpeakerPairs;
extern std::array<SpeakerPair, 4> g_SpeakerPairsOrdered;

// Working type of an output (0..7), or SPK_NULL for an index outside 0..7.
int GetWorkingSpeakerType(int output);
// Stores a working type; an index outside 0..7 is ignored.
void SetWorkingSpeakerType(int output, int code);
// Copies eight types into the working copy (from the device's master copy) and back out.
void LoadWorkingSpeakerTypes(const std::uint8_t types[kSpeakerOutputs]);
void StoreWorkingSpeakerTypes(std::uint8_t types[kSpeakerOutputs]);

// All 36 bytes := 3 (so every working type reads 3 until the master copy is copied in).
void ResetSpeakerTypeStates();
// Applies the take rule of each output's working type, outputs in order; codes above 24 are skipped.
void RecomputeSpeakerTypeStates();
// The take and release rules of one code; codes above 24 are ignored. The take rule does not
// depend on the output; the release of SPK_NULL looks at the other outputs.
void TakeSpeakerType(int code, int output);
void ReleaseSpeakerType(int code, int output);
// Every later output holding the same non-zero type as an earlier one gets 0; true when any did.
bool RemoveDuplicateSpeakerTypes();
bool AnyOutputTyped();

// 0 for a left type, 1 for a right type, -1 for none (centre, full subwoofer, NULL).
int GetOutputSide(int output);
bool IsFrontLeftPart(int output);
bool IsFrontRightPart(int output);
bool IsRearLeftPart(int output);
bool IsRearRightPart(int output);
bool IsCenterPart(int output);
// Whether `other` belongs to the same component set (front left, front right, rear left, rear
// right or centre parts) as `output`'s type.
bool IsSameComponentSet(int output, int other);

// Left/right partner search; true when a pair was found.
bool FindSpeakerPairs();
bool FindOrderedSpeakerPairs();
bool AnySpeakerPair();
bool AnyOrderedSpeakerPair();
