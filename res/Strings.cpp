#include "res/Strings.h"

std::atomic<int> g_bChinese{0};

const char *Tr(StrId id, bool chinese)
{
    const std::span<const StrEntry> table = StringTable();
    const auto i = static_cast<std::size_t>(id);
    if (i >= table.size())
        return "";
    return chinese ? table[i].zh : table[i].en;
}

const char *Tr(StrId id) { return Tr(id, g_bChinese.load() != 0); }

std::string FillArgs(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size())
                out.append(args.begin()[n]);
            ++i;
            continue;
        }
        out.push_back(c);
    }
    return out;
}

std::string TrArgs(StrId id, bool chinese, std::initializer_list<std::string_view> args)
{
    return FillArgs(Tr(id, chinese), args);
}

std::string TrArgs(StrId id, std::initializer_list<std::string_view> args)
{
    return FillArgs(Tr(id), args);
}
