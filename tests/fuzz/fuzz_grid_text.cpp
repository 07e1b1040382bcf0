// The grid's text-file loader on arbitrary bytes: it never reads or keeps more than its bounds
// allow, and whatever it accepts it splits exactly as a plain reading of the format does (lines
// at line feeds less a carriage return, fields at commas, fields beyond the first line's count
// dropped, an empty field after a final comma only with its line feed), GBK converted per line.
#include "grid/GridTextLines.h"
#include "platform/Gbk.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

gridtext::Lines Reference(std::string_view bytes, std::size_t &cells)
{
    gridtext::Lines lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const bool hasFeed = end != std::string_view::npos;
        if (!hasFeed)
            end = bytes.size();
        std::string line(bytes.substr(pos, end - pos));
        pos = hasFeed ? end + 1 : end;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string text = GbkToUtf8(line);
        std::vector<std::string> fields(1);
        for (const char c : text) {
            if (c == ',')
                fields.emplace_back();
            else
                fields.back().push_back(c);
        }
        if (!hasFeed && fields.size() > 1 && fields.back().empty())
            fields.pop_back();
        if (!lines.empty() && fields.size() > lines.front().size())
            fields.resize(lines.front().size());
        lines.push_back(std::move(fields));
    }
    cells = lines.empty() ? 0 : lines.size() * lines.front().size();
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::optional<gridtext::Lines> parsed = gridtext::Parse(bytes);
    std::size_t cells = 0;
    const gridtext::Lines reference = Reference(bytes, cells);
    const bool fits = size <= gridtext::kMaxFileBytes && cells <= gridtext::kMaxCells;
    if (parsed.has_value() != fits)
        std::abort();
    if (parsed && *parsed != reference)
        std::abort();
    return 0;
}
