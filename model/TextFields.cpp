#include "model/TextFields.h"

#include "model/DeviceImage.h"
#include "platform/Gbk.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

const std::array<std::array<std::uint8_t, kPresetNameRecordSize>, 20> g_PresetNameRecords{};

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
