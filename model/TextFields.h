#pragma once
// The fixed-length text fields of device blocks and preset images, and the duplicate test of
// machine-preset names. Fields hold GBK bytes; texts inside the program are UTF-8. Lengths and
// limits count GBK bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
