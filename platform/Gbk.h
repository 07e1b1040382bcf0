#pragma once
// Conversion between the program's UTF-8 texts and the GBK bytes of device fields and files,
// through glibc iconv. Thread-safe (each call uses its own conversion state).

#include <optional>
#include <string>
#include <string_view>

// UTF-8 to GBK; nullopt for invalid UTF-8 or a character GBK cannot encode.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8; never fails: every byte that does not decode becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
