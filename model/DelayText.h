#pragma once
// Free functions and small tables of the parameter model: delay codes as distances and the delay
// steppers of the cm and inch displays, the speaker groups of the delay lock, the fixed-length
// text fields of device blocks and preset images, the duplicate preset-name test, and a few
// resets of link and selection state.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// ---- delay and distance ------------------------------------------------------------------------
// A delay is a code 0..960 of 1/48 ms (g_dDelayStepMs); 960 is 20 ms.

// The temperature field of the distance display holds 75 and never changes: T = 75 - 50 = 25 C.
constexpr int kDelayTemperatureField = 75;
constexpr double kDelayTemperatureC = kDelayTemperatureField - 50;
// Speeds of sound in m/s: 0.6 T + 331 for every code, 0.6 T + 331.4 for the inch display at 20 ms.
extern const double g_dSoundSpeed;       // 346.0
extern const double g_dSoundSpeedInch;   // 346.4

// Time in ms of a delay code: exactly 20.0 for 960, else code / 48. Codes outside 0..960 are
// limited to it.
double DelayCodeToMs(int code);
// Distance of a delay code in centimetres (speed g_dSoundSpeed) and in inches (g_dSoundSpeedInch
// at 960, g_dSoundSpeed below), not rounded.
double DelayCodeToCm(int code);
double DelayCodeToInch(int code);
// The whole number a distance shows as: printed with "%0.0f" (C locale) and read back. An exact
// half goes to the even neighbour, as printf rounds it (code 120 is 86.5 cm and shows 86).
double ShownDistance(double value);

// The next delay code from d in the direction of step at which the distance shown in cm (inches)
// changes by at least one unit; when the range 0..960 ends first, the last code examined (cm) or
// the end of the range (inches). d is limited to 0..960 first; step 0 returns d.
int StepDelayCm(int d, int step);
int StepDelayInch(int d, int step);

// ---- speaker groups of the delay lock -------------------------------------------------------------

// A group's state word: -1 not usable, 0 usable, 1 delay lock on. Member slot k holds k when
// output k belongs to the group, else -1 (slots 8 and 9 are always -1).
struct SpeakerGroup {
    int state;
    int members[10];
};
// The front groups also record a pairing mode and the types of their first three members.
struct FrontSpeakerGroup {
    int state;
    int pairingMode;
    int types[3];
    int members[10];
};
// Centre (types 19, 20), front left (1..5), front right (7..11), rear left (13, 14), rear right
// (16, 17), subwoofer (22, 23). The full types and the plain subwoofer belong to no group.
struct SpeakerGroupTable {
    SpeakerGroup centre;
    FrontSpeakerGroup frontLeft;
    FrontSpeakerGroup frontRight;
    SpeakerGroup rearLeft;
    SpeakerGroup rearRight;
    SpeakerGroup subwoofer;
};
static_assert(sizeof(SpeakerGroupTable) == 74 * sizeof(int));

// UI thread only.
extern SpeakerGroupTable g_SpeakerGroups;

// Rebuilds g_SpeakerGroups from the outputs' working speaker types (SpeakerTypeStates), then calls
// hideWindow when one is given.
void RebuildSpeakerGroups(const std::function<void()> &hideWindow = {});

// The group an output belongs to by its working type: its state word and members, or null
// (state -1) when the type belongs to no group. The output page reads these for the delay lock.
struct SpeakerGroupView {
    int *state = nullptr;
    int *members = nullptr;  // 10 slots
};
SpeakerGroupView SpeakerGroupOfOutput(int output);

// ---- fixed-length text fields ---------------------------------------------------------------------
// Fields hold GBK bytes; texts inside the program are UTF-8. Lengths and limits count GBK bytes.

enum class TextFieldResult {
    Ok,
    TooLong,      // the text does not fit the field: "Char len error!"
    Unencodable,  // invalid UTF-8, or a character GBK cannot hold
};

// The message of TooLong in the current language ("Char len error!" / "字符长度错误!") and the
// caption code to show it with (-3 English, -2 Chinese). The caller shows it; the model never
// opens a message box.
std::string CharLenErrorText();
int CharLenErrorCode();

// GBK bytes of a UTF-8 text; false (out untouched) for invalid UTF-8 or a character GBK lacks.
bool Utf8ToGbkBytes(std::string_view utf8, std::string &out);
// UTF-8 of GBK bytes; bytes that decode to nothing become '?' and a double-byte character cut
// off at the end is dropped, so that the text always fits back into the field it came from.
std::string GbkBytesToUtf8(std::string_view gbk);
// True when the text's GBK form fits a field of n bytes with its terminating zero (fewer than n
// bytes); Unencodable and TooLong otherwise.
TextFieldResult CheckTextField(std::string_view utf8, int n);

// The first n - 1 bytes of src up to the first zero, as text, trimmed of white space at both ends.
std::string BufferToCString(const std::uint8_t *src, int n);
// The same from exactly n bytes.
std::string BufferToCStringExact(const std::uint8_t *src, int n);
// Copies s when its GBK form has fewer than n bytes and zeroes the rest of the n bytes; otherwise
// buf is left as it was and the error is returned.
TextFieldResult CStringToBufferPadded(std::uint8_t *buf, std::string_view s, int n);
// The same, with byte n - 1 always zero.
TextFieldResult CStringToBufferTerminated(std::uint8_t *buf, int n, std::string_view s);
// Copies s when it has at most n bytes and fills the rest of the n bytes with spaces (spaces != 0)
// or zeros; no terminator is added.
TextFieldResult CStringToBufferFilled(std::uint8_t *buf, int n, std::string_view s, int spaces);
// True when the text is empty after trimming both ends.
bool IsBlankString(std::string_view text);
// s without white space at both ends.
std::string TrimString(std::string_view s);

// With presets != 0: true when the first len bytes of name equal the first len bytes (the name
// field, at most 16) of a machine-preset image other than number self (0..5). With presets == 0:
// the same against the preset-name records of g_PresetNameRecords (at most 168 bytes).
bool IsDuplicatePresetName(int self, const std::uint8_t *name, int presets, int len);

// Twenty 168-byte preset records; nothing writes them, so they stay zero.
constexpr std::size_t kPresetNameRecordSize = 168;
extern const std::array<std::array<std::uint8_t, kPresetNameRecordSize>, 20> g_PresetNameRecords;

// ---- other small functions and tables ------------------------------------------------------------

// Values up to 11 stay; above 11, (v div 10) * 10 + 6 unless (v - 1) mod 10 is 0 or 5; at most 191.
int SnapIndex(int v);

// Bits 0 and 1 of g_nInputLayout.
int GetInputLayoutBit0();
int GetInputLayoutBit1();
void SetInputLayoutBit0(int on);
void SetInputLayoutBit1(int on);

// "CH1" .. "CH8".
extern const std::array<std::string_view, 8> g_ChannelNames;

// A mark (-1 after a reset) and eight per-output marks (0 after a reset); nothing reads them.
extern std::array<int, 9> g_PresetLoadMarks;
void ResetChannelSelection();
