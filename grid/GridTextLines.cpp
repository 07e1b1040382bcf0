#include "grid/GridTextLines.h"

#include "platform/Gbk.h"

#include <cstring>

namespace gridtext {

namespace {

// The fields of text cut at its commas, at most `keep` of them; `total` is how many there are.
// Commas are never part of a GBK double-byte character (their second byte is 0x40 or above), so
// bytes and converted text cut alike.
std::vector<std::string_view> Fields(std::string_view text, std::size_t keep, std::size_t &total)
{
    std::vector<std::string_view> fields;
    total = 0;
    std::size_t pos = 0;
    while (true) {
        const std::size_t comma = text.find(',', pos);
        const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        if (fields.size() < keep)
            fields.push_back(text.substr(pos, end - pos));
        ++total;
        if (comma == std::string_view::npos)
            return fields;
        pos = comma + 1;
        if (fields.size() >= keep) {
            // Only the count is still wanted.
            ++total;
            for (const char c : text.substr(pos))
                total += c == ',';
            return fields;
        }
    }
}

}  // namespace

std::optional<Lines> Parse(std::string_view bytes)
{
    if (bytes.size() > kMaxFileBytes)
        return std::nullopt;
    Lines lines;
    std::size_t columns = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const bool hasFeed = end != std::string_view::npos;
        if (!hasFeed)
            end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        pos = hasFeed ? end + 1 : end;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        // The first line makes the columns; every line is one row of that many cells.
        const std::size_t keep = lines.empty() ? kMaxCells + 1 : columns;
        if (!lines.empty() && (lines.size() + 1) * columns > kMaxCells)
            return std::nullopt;
        std::size_t total = 0;
        std::vector<std::string_view> raw = Fields(line, keep, total);
        if (!hasFeed && total == raw.size() && raw.size() > 1 && raw.back().empty())
            raw.pop_back();
        if (lines.empty()) {
            if (raw.size() > kMaxCells)
                return std::nullopt;
            columns = raw.size();
        }

        // Convert what is kept in one go and cut it again.
        const std::size_t keptBytes = raw.empty() ? 0 : std::size_t(raw.back().data() + raw.back().size() - line.data());
        const std::string utf8 = GbkToUtf8(line.substr(0, keptBytes));
        std::size_t ignored = 0;
        std::vector<std::string> fields;
        fields.reserve(raw.size());
        for (const std::string_view f : Fields(utf8, raw.size(), ignored))
            fields.emplace_back(f);
        lines.push_back(std::move(fields));
    }
    return lines;
}

}  // namespace gridtext
