#include "platform/Gbk.h"

#include <cerrno>
#include <iconv.h>

namespace {

class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false on an invalid or incomplete sequence, leaving
    // `in` at the offending byte. The output is appended to `out`.
    bool Run(std::string_view &in, std::string &out)
    {
        char buf[256];
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        bool good = true;
        while (srcLeft > 0) {
            char *dst = buf;
            std::size_t dstLeft = sizeof buf;
            std::size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (r == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                good = false;
                break;
            }
        }
        in = std::string_view(src, srcLeft);
        return good;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8)
{
    Converter conv("GBK", "UTF-8");
    if (!conv.ok())
        return std::nullopt;
    std::string out;
    out.reserve(utf8.size());
    if (!conv.Run(utf8, out))
        return std::nullopt;
    return out;
}

std::string GbkToUtf8(std::string_view gbk)
{
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    Converter conv("UTF-8", "GBK");
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    if (!conv.ok()) {
        for (char c : gbk) {
            if (static_cast<unsigned char>(c) < 0x80)
                out.push_back(c);
            else
                out.append(kReplacement);
        }
        return out;
    }
    while (!gbk.empty()) {
        if (conv.Run(gbk, out))
            break;
        out.append(kReplacement);
        gbk.remove_prefix(1);
    }
    return out;
}
