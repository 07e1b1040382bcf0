#include "model/DelayText.h"

#include "model/DataDefine.h"
#include "model/DeviceImage.h"
#include "model/SpeakerType.h"
#include "platform/Gbk.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

const double g_dSoundSpeed = 0.6 * kDelayTemperatureC + 331;
const double g_dSoundSpeedInch = 0.6 * kDelayTemperatureC + 331.4;

SpeakerGroupTable g_SpeakerGroups;

const std::array<std::array<std::uint8_t, kPresetNameRecordSize>, 20> g_PresetNameRecords{};

const std::array<std::string_view, 8> g_ChannelNames{"CH1", "CH2", "CH3", "CH4", "CH5", "CH6", "CH7", "CH8"};

std::array<int, 9> g_PresetLoadMarks{-1, 0, 0, 0, 0, 0, 0, 0, 0};

// ---- delay and distance ------------------------------------------------------------------------

namespace {

constexpr double kInchPerMetre = 39.3696;  // 3.2808 ft x 12

int ClampDelay(int code)
{
    return std::clamp(code, 0, kDelayCodeMax);
}

// The code of a time in ms: t x 48 + 0.5 truncated, 960 from 20 ms on, limited to 0..960.
int MsToDelayCode(double t)
{
    if (t >= 20.0)
        return kDelayCodeMax;
    return ClampDelay(static_cast<int>(t * 48 + 0.5));
}

double ShownCm(int code) { return ShownDistance(DelayCodeToCm(code)); }
double ShownInch(int code) { return ShownDistance(DelayCodeToInch(code)); }

bool Moved(double shown, double start, int step)
{
    return step > 0 ? shown - start >= 1 : shown - start <= -1;
}

} // namespace

double DelayCodeToMs(int code)
{
    code = ClampDelay(code);
    return code == kDelayCodeMax ? 20.0 : code * g_dDelayStepMs;
}

double DelayCodeToCm(int code)
{
    return g_dSoundSpeed / 1000 * DelayCodeToMs(code) * 100;
}

double DelayCodeToInch(int code)
{
    const double c = ClampDelay(code) == kDelayCodeMax ? g_dSoundSpeedInch : g_dSoundSpeed;
    return c / 1000 * DelayCodeToMs(code) * 3.2808 * 12;
}

double ShownDistance(double value)
{
    // "%.0f" prints no decimal point, so the locale cannot change the text.
    char text[64];
    std::snprintf(text, sizeof text, "%0.0f", value);
    return std::strtod(text, nullptr);
}

int StepDelayCm(int d, int step)
{
    d = ClampDelay(d);
    if (step == 0 || (step > 0 && d == kDelayCodeMax) || (step < 0 && d == 0))
        return d;
    const double start = ShownCm(d);
    int k = ClampDelay(d + step);
    int evaluated = k;
    for (;;) {
        evaluated = k;
        if (Moved(ShownCm(k), start, step))
            break;
        k += step;
        if (k >= kDelayCodeMax || k < 0)
            break;  // the end of the range is not examined
    }
    return MsToDelayCode(DelayCodeToMs(evaluated));
}

int StepDelayInch(int d, int step)
{
    d = ClampDelay(d);
    if (step == 0 || (step > 0 && d == kDelayCodeMax) || (step < 0 && d == 0))
        return d;
    const double start = ShownInch(d);
    int k = ClampDelay(d + step);
    double shown = start;
    for (;;) {
        shown = ShownInch(k);
        if (Moved(shown, start, step))
            break;
        k += step;
        if (k >= kDelayCodeMax) {
            k = kDelayCodeMax;
            break;
        }
        if (k < 0) {
            k = 0;
            break;
        }
    }
    if (k <= 0 || k >= kDelayCodeMax)
        return ClampDelay(k);
    // Back from the shown inches to the code the display would take for them.
    const double t = shown / kInchPerMetre * 1000 / g_dSoundSpeedInch;
    return MsToDelayCode(t);
}

// ---- speaker groups ---------------------------------------------------------------------------------

namespace {

void ResetGroup(SpeakerGroup &g)
{
    g.state = -1;
    std::fill(std::begin(g.members), std::end(g.members), -1);
}

void ResetGroup(FrontSpeakerGroup &g)
{
    g.state = -1;
    g.pairingMode = -1;
    std::fill(std::begin(g.types), std::end(g.types), -1);
    std::fill(std::begin(g.members), std::end(g.members), -1);
}

int MemberCount(const int (&members)[10])
{
    return static_cast<int>(std::count_if(std::begin(members), std::end(members), [](int m) { return m >= 0; }));
}

void SettlePlainGroup(SpeakerGroup &g)
{
    const int n = MemberCount(g.members);
    if (n == 2 || n == 3)
        g.state = 0;
}

void SettleFrontGroup(FrontSpeakerGroup &g, int tweeter, int woofer)
{
    const int n = MemberCount(g.members);
    if (n == 2) {
        g.state = 0;
        const bool hasTweeter = g.types[0] == tweeter || g.types[1] == tweeter;
        const bool hasWoofer = g.types[0] == woofer || g.types[1] == woofer;
        if (!hasTweeter)
            g.pairingMode = 3;
        else
            g.pairingMode = hasWoofer ? 2 : 1;
    } else if (n == 3) {
        g.state = 0;
        g.pairingMode = 4;
    }
}

void AddFrontMember(FrontSpeakerGroup &g, int output, int type)
{
    g.members[output] = output;
    for (int &slot : g.types) {
        if (slot == -1) {
            slot = type;
            break;
        }
    }
}

} // namespace

void RebuildSpeakerGroups(const std::function<void()> &hideWindow)
{
    SpeakerGroupTable &t = g_SpeakerGroups;
    ResetGroup(t.centre);
    ResetGroup(t.frontLeft);
    ResetGroup(t.frontRight);
    ResetGroup(t.rearLeft);
    ResetGroup(t.rearRight);
    ResetGroup(t.subwoofer);

    for (int k = 0; k < kSpeakerOutputs; ++k) {
        const int type = GetWorkingSpeakerType(k);
        if (type == 19 || type == 20)
            t.centre.members[k] = k;
        else if (type >= 1 && type <= 5)
            AddFrontMember(t.frontLeft, k, type);
        else if (type >= 7 && type <= 11)
            AddFrontMember(t.frontRight, k, type);
        else if (type == 13 || type == 14)
            t.rearLeft.members[k] = k;
        else if (type == 16 || type == 17)
            t.rearRight.members[k] = k;
        else if (type == 22 || type == 23)
            t.subwoofer.members[k] = k;
    }

    SettlePlainGroup(t.centre);
    SettlePlainGroup(t.rearLeft);
    SettlePlainGroup(t.rearRight);
    SettlePlainGroup(t.subwoofer);
    SettleFrontGroup(t.frontLeft, 1, 3);
    SettleFrontGroup(t.frontRight, 7, 9);

    if (hideWindow)
        hideWindow();
}

SpeakerGroupView SpeakerGroupOfOutput(int output)
{
    SpeakerGroupTable &t = g_SpeakerGroups;
    const int type = GetWorkingSpeakerType(output);
    if (type == 19 || type == 20)
        return {&t.centre.state, t.centre.members};
    if (type >= 1 && type <= 5)
        return {&t.frontLeft.state, t.frontLeft.members};
    if (type >= 7 && type <= 11)
        return {&t.frontRight.state, t.frontRight.members};
    if (type == 13 || type == 14)
        return {&t.rearLeft.state, t.rearLeft.members};
    if (type == 16 || type == 17)
        return {&t.rearRight.state, t.rearRight.members};
    if (type == 22 || type == 23)
        return {&t.subwoofer.state, t.subwoofer.members};
    return {};
}

// ---- text fields -----------------------------------------------------------------------------------

namespace {

bool IsAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::string CharLenErrorText()
{
    return Tr(StrId::CharLenError);
}

int CharLenErrorCode()
{
    return g_bChinese.load() ? -2 : -3;
}

bool Utf8ToGbkBytes(std::string_view utf8, std::string &out)
{
    if (IsAscii(utf8)) {
        out.assign(utf8);
        return true;
    }
    std::optional<std::string> gbk = Utf8ToGbk(utf8);
    if (!gbk)
        return false;
    out = std::move(*gbk);
    return true;
}

std::string GbkBytesToUtf8(std::string_view gbk)
{
    if (IsAscii(gbk))
        return std::string(gbk);
    // A lead byte whose second byte lies beyond the field is dropped.
    std::size_t whole = 0;
    while (whole < gbk.size()) {
        const unsigned char b = static_cast<unsigned char>(gbk[whole]);
        const std::size_t step = b >= 0x81 && b <= 0xFE ? 2 : 1;  // GBK lead bytes
        if (whole + step > gbk.size())
            break;
        whole += step;
    }
    // Bytes that decode to nothing become '?', so that the text can be written back.
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string text = GbkToUtf8(gbk.substr(0, whole));
    for (std::size_t pos = text.find(kReplacement); pos != std::string::npos; pos = text.find(kReplacement, pos + 1))
        text.replace(pos, kReplacement.size(), "?");
    return text;
}

TextFieldResult CheckTextField(std::string_view utf8, int n)
{
    std::string gbk;
    if (!Utf8ToGbkBytes(utf8, gbk))
        return TextFieldResult::Unencodable;
    return n > 0 && gbk.size() < static_cast<std::size_t>(n) ? TextFieldResult::Ok : TextFieldResult::TooLong;
}

std::string TrimString(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsSpace(s[b]))
        ++b;
    while (e > b && IsSpace(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

bool IsBlankString(std::string_view text)
{
    return TrimString(text).empty();
}

std::string BufferToCString(const std::uint8_t *src, int n)
{
    return BufferToCStringExact(src, n - 1);
}

std::string BufferToCStringExact(const std::uint8_t *src, int n)
{
    if (src == nullptr || n <= 0)
        return {};
    const auto *chars = reinterpret_cast<const char *>(src);
    const std::size_t len = strnlen(chars, static_cast<std::size_t>(n));
    return TrimString(GbkBytesToUtf8(std::string_view(chars, len)));
}

TextFieldResult CStringToBufferPadded(std::uint8_t *buf, std::string_view s, int n)
{
    std::string gbk;
    if (!Utf8ToGbkBytes(s, gbk))
        return TextFieldResult::Unencodable;
    if (buf == nullptr || n <= 0 || gbk.size() >= static_cast<std::size_t>(n))
        return TextFieldResult::TooLong;
    std::memcpy(buf, gbk.data(), gbk.size());
    std::memset(buf + gbk.size(), 0, static_cast<std::size_t>(n) - gbk.size());
    return TextFieldResult::Ok;
}

TextFieldResult CStringToBufferTerminated(std::uint8_t *buf, int n, std::string_view s)
{
    const TextFieldResult r = CStringToBufferPadded(buf, s, n);
    if (r == TextFieldResult::Ok)
        buf[n - 1] = 0;
    return r;
}

TextFieldResult CStringToBufferFilled(std::uint8_t *buf, int n, std::string_view s, int spaces)
{
    std::string gbk;
    if (!Utf8ToGbkBytes(s, gbk))
        return TextFieldResult::Unencodable;
    if (buf == nullptr || n < 0 || gbk.size() > static_cast<std::size_t>(n))
        return TextFieldResult::TooLong;
    std::memcpy(buf, gbk.data(), gbk.size());
    std::memset(buf + gbk.size(), spaces ? ' ' : 0, static_cast<std::size_t>(n) - gbk.size());
    return TextFieldResult::Ok;
}

bool IsDuplicatePresetName(int self, const std::uint8_t *name, int presets, int len)
{
    if (name == nullptr)
        return false;
    if (presets != 0) {
        const std::size_t n = static_cast<std::size_t>(std::clamp(len, 0, static_cast<int>(DeviceImage::kNameSize)));
        std::lock_guard lock(g_csImage);
        for (int p = 0; p < kMachinePresetCount; ++p) {
            if (p != self && std::memcmp(g_MachinePresets[static_cast<std::size_t>(p)].data(), name, n) == 0)
                return true;
        }
        return false;
    }
    const std::size_t n = static_cast<std::size_t>(std::clamp(len, 0, static_cast<int>(kPresetNameRecordSize)));
    for (std::size_t r = 0; r < g_PresetNameRecords.size(); ++r) {
        if (static_cast<int>(r) != self && std::memcmp(g_PresetNameRecords[r].data(), name, n) == 0)
            return true;
    }
    return false;
}

// ---- other small functions -------------------------------------------------------------------------

int SnapIndex(int v)
{
    if (v > 11) {
        const int r = (v - 1) % 10;
        if (r != 0 && r != 5)
            v = (v / 10) * 10 + 6;
    }
    return std::min(v, 191);
}

int GetInputLayoutBit0() { return g_nInputLayout.load() & 1; }
int GetInputLayoutBit1() { return (g_nInputLayout.load() >> 1) & 1; }

void SetInputLayoutBit0(int on)
{
    if (on)
        g_nInputLayout.fetch_or(1);
    else
        g_nInputLayout.fetch_and(static_cast<std::uint8_t>(~1u));
}

void SetInputLayoutBit1(int on)
{
    if (on)
        g_nInputLayout.fetch_or(2);
    else
        g_nInputLayout.fetch_and(static_cast<std::uint8_t>(~2u));
}

void ResetChannelSelection()
{
    g_PresetLoadMarks[0] = -1;
    std::fill(g_PresetLoadMarks.begin() + 1, g_PresetLoadMarks.end(), 0);
}
