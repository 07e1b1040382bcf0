#include "controls/NumEditFormat.h"

#include "res/Strings.h"

#include "model/DataDefine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace numedit {
namespace {

constexpr double kFeetPerMetre = 3.2808;
constexpr double kInchPerMetre = 3.2808 * 12;  // 39.3696
constexpr int kQLast = 295;

std::string Printf(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char *fmt, ...)
{
    char buf[128];
    va_list ap;
    va_start(ap, fmt);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0)
        return {};
    return std::string(buf, static_cast<std::size_t>(std::min<int>(n, sizeof buf - 1)));
}

// A double turned into an int without undefined behaviour: out-of-range values saturate.
int ToInt(double x)
{
    if (!(x == x))
        return 0;
    if (x >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (x <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(x);
}

// Truncation toward zero of a value computed from typed decimals. The tiny bias keeps a typed
// 0.5 from becoming 1.999... steps.
int Cut(double x) { return ToInt(std::trunc(x + (x >= 0 ? 1e-9 : -1e-9))); }
// "Rounded": add a half, then cut.
int Round(double x) { return ToInt(std::trunc(x + 0.5)); }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Where a number's digits start: after leading blanks and one optional sign, which sets `neg`.
std::size_t SkipBlanksAndSign(const std::string &text, bool &neg)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        neg = text[i] == '-';
        ++i;
    }
    return i;
}

// The number at the start of the text, after blanks, as the C library's atof reads it; nothing
// when the text does not start with a number. Text after the number is ignored.
std::optional<double> ReadDouble(const std::string &text)
{
    bool neg = false;
    std::size_t i = SkipBlanksAndSign(text, neg);
    if (i >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
        return std::nullopt;
    double v = 0;
    const char *first = text.data() + i;
    const auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), v, std::chars_format::general);
    if (ptr == first)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        v = HUGE_VAL;
    else if (ec != std::errc())
        return std::nullopt;
    if (!std::isfinite(v))
        v = v > 0 ? 1e300 : -1e300;
    return neg ? -v : v;
}

// The integer at the start of the text, as atoi reads it (digits only, saturating).
std::optional<int> ReadInt(const std::string &text)
{
    bool neg = false;
    std::size_t i = SkipBlanksAndSign(text, neg);
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
        return std::nullopt;
    long long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (v < 10'000'000'000LL)
            v = v * 10 + (text[i] - '0');
    }
    if (neg)
        v = -v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

double Lim(double x, double lo, double hi) { return std::max(lo, std::min(x, hi)); }
int LimI(int x, int lo, int hi) { return std::max(lo, std::min(x, hi)); }

double DelayMs(int v, int max) { return v == max ? 20.0 : v * g_dDelayStepMs; }

std::string WithUnit(std::string s, const NumEditParams &p) { return s + p.unit; }

// The off value of the decibel types, in the type's displayed unit.
double OffValue(int type)
{
    switch (type) {
    case 23: return -120;
    case 24: return 20;
    case 25: return -60;
    case 30: return 12;
    default: return 0;
    }
}

bool IsDecibelType(int t) { return t == 10 || t == 23 || t == 24 || t == 25 || t == 26 || t == 30 || t == 38; }

// The decibel types' rule: x limited, then turned back into the code. The factor pair keeps a
// scale of 0.1 an exact divisor of 1.
std::optional<int> DecibelValue(double x, const NumEditParams &p)
{
    const double div = p.scale * 10;
    if (div == 0)
        return std::nullopt;
    if (p.type == 38) {
        x = Lim(x, p.offset - p.max * p.scale, p.offset - p.min * p.scale);
        return Cut((p.offset - x) * 10 / div);
    }
    x = Lim(x, p.min * p.scale - p.offset, p.max * p.scale - p.offset);
    return Cut((x + p.offset) * 10 / div);
}

// Type 16 shows 0.0104 ms per step up to 9615, 100 ms at 9616 and 0.021 ms per step above.
int LongTimeValue(double ms)
{
    if (ms <= 0)
        return 0;
    if (ms < 100)
        return std::min(Round(ms / 0.0104), 9615);
    return ToInt(9616 + std::trunc((ms - 100) / 0.021 + 0.5));
}

}  // namespace

std::string OffWord(bool chinese) { return Tr(StrId::Off, chinese); }
bool IsOffWord(const std::string &text) { return text == Tr(StrId::Off, false) || text == Tr(StrId::Off, true); }

double SoundSpeed(int temperature) { return 331 + 0.6 * (temperature - 50); }
double SoundSpeedInch(int temperature) { return 331.4 + 0.6 * (temperature - 50); }

int StoredValue(int v, const NumEditParams &p)
{
    switch (p.type) {
    case 26:
    case 32:
    case 38: return LimI(v, p.min, p.max);
    case 33: return LimI(v, 0, 100);
    default: return v;
    }
}

std::optional<std::string> Format(int v, const NumEditParams &p)
{
    const double c = SoundSpeed(p.temperature);
    const double c2 = SoundSpeedInch(p.temperature);
    const std::string off = OffWord(p.chinese);
    const auto unitWord = [&](StrId word) -> std::string {
        return p.unit.empty() ? std::string() : Tr(word, p.chinese);
    };
    switch (p.type) {
    case 0:
    case 19:
        return Printf("%0.3f", DelayMs(v, p.max)) + unitWord(StrId::UnitMs);
    case 1:
        return Printf("%0.0f", c * DelayMs(v, p.max) / 1000 * 100) + unitWord(StrId::UnitCm);
    case 2: {
        const double speed = v == p.max ? c2 : c;
        return Printf("%0.0f", speed * DelayMs(v, p.max) / 1000 * kInchPerMetre) + unitWord(StrId::UnitInch);
    }
    case 3:
        return Printf("%0.1f", (double(v) - p.max / 2) * p.scale);
    case 4:
        return Printf("%d", v);
    case 5:
        return v > 6 ? Printf("%dms", v - 6) : Printf("%0.1fms", (double(v) + 3) * 0.1);
    case 6:
        return WithUnit(Printf("%d", v), p);
    case 7:
        return Printf("%0.2f", v * p.scale + 0.05);
    case 8:
        return Printf("%dHz", v);
    case 9:
        return v == p.max ? std::string("20000Hz") : Printf("%dHz", v);
    case 10:
        return Printf("%0.1f", v * p.scale - p.offset);
    case 11: {
        const double q = g_QTable[LimI(v, 0, kQLast)];
        return q > 10 ? Printf("%0.2f", q) : Printf("%0.3f", q);
    }
    case 12: {
        const long long celsius = static_cast<long long>(v) - 50;
        const int fahrenheit = ToInt(double(celsius) * 1.8 + 32 + 0.5);
        return Printf("%lldC(%dF)", celsius, fahrenheit);
    }
    case 13:
        return WithUnit(Printf("%d%%", ToInt(v * p.scale)), p);
    case 14:
        return WithUnit(Printf("%.2f", v * 0.01), p);
    case 15:
        return WithUnit(Printf("%d", v > p.max ? p.max : v), p);
    case 16:
        if (v == 0)
            return Printf("%0.4f", 0.0);
        if (v >= 1 && v <= 9615)
            return Printf("%0.4f", v * 0.0104);
        if (v == 9616)
            return Printf("%0.3f", 100.0);
        if (v > 9616)
            return Printf("%0.3f", 100 + (double(v) - 9616) * 0.021);
        return Printf("%0.4f", v * 0.0104);
    case 17:
        return Printf("%0.3f", c2 * (v * 0.021) / 1000 * 100);
    case 18:
        return Printf("%0.3f", c2 * (v * 0.021) / 1000 * kFeetPerMetre);
    case 20:
        return WithUnit(Printf("%d", ToInt(v * p.scale)), p);
    case 21:
        return WithUnit(Printf("%.1f", v * 0.1), p);
    case 22:
        return WithUnit(Printf("%lld", 2LL * (v > p.max ? p.max : v)), p);
    case 23: {
        if (v == 0)
            return off;
        const double x = v * p.scale - p.offset;
        return p.unit == "dBu" ? Printf("%0.0fdBu", x) : Printf("%0.1fdB", x);
    }
    case 24:
        return Printf("%0.1fdBu", v * p.scale - p.offset);
    case 25:
        return v == p.min ? off : Printf("%0.0fdB", v * p.scale - p.offset);
    case 26: {
        const double x = LimI(v, p.min, p.max) * p.scale - p.offset;
        return p.unit.empty() ? Printf("%0.0fdBu", x) : Printf("%0.0fdB", x);
    }
    case 27:
        return WithUnit(Printf("%ddB", ToInt(v * p.scale)), p);
    case 28:
        return v == p.min ? std::string("20Hz") : v == p.max ? std::string("1000Hz") : Printf("%dHz", v);
    case 29:
        return v == p.min ? std::string("5000Hz") : v == p.max ? std::string("20000Hz") : Printf("%dHz", v);
    case 30:
        return v == p.max ? off : Printf("%0.1fdBu", v * p.scale - p.offset);
    case 31:
        if (v <= 99)
            return Printf("R_%lld%%", 100LL - v);
        if (v == 100)
            return std::string("OFF");
        if (v <= p.max)
            return Printf("L_%lld%%", static_cast<long long>(v) - 100);
        return std::string();
    case 32: {
        const int lv = LimI(v, p.min, p.max);
        if (lv == p.max)
            return off;
        const double x = lv * p.scale - p.offset;
        return Printf("%0.3fVpp", 2.2 * std::pow(10.0, x / 20));
    }
    case 33:
        return Printf("%d", LimI(v, 0, 100));
    case 38: {
        const double x = p.offset - LimI(v, p.min, p.max) * p.scale;
        return p.unit.empty() ? Printf("%0.0fdBu", x) : Printf("%0.0fdB", x);
    }
    case 40:
        if (v == 1)
            return std::string("1:1");
        return Printf("%lld.%lld:1", (v + 9LL) / 10, (v + 9LL) % 10);
    default:
        return std::nullopt;  // 34..37, 39 and unknown types keep the window text
    }
}

CommitResult Commit(const std::string &text, int value, const NumEditParams &p)
{
    CommitResult keep{value, false, false};
    const int t = p.type;
    const bool hasRule = (t >= 0 && t <= 11) || (t >= 13 && t <= 30) || t == 32 || t == 33 || t == 38;
    if (!hasRule)
        return keep;  // typed text stays, value unchanged

    CommitResult done{value, true, true};
    const bool off = IsOffWord(text);
    const std::optional<double> a = ReadDouble(text);
    const std::optional<int> n = ReadInt(text);

    // Off words first: the decibel types and type 32 know an off value.
    if (off && IsDecibelType(t)) {
        if (const auto v = DecibelValue(OffValue(t), p))
            done.value = *v;
        return done;
    }
    if (off && t == 32) {
        NumEditParams q = p;
        q.type = 10;
        if (const auto v = DecibelValue(12, q))
            done.value = *v;
        return done;
    }
    // A level in percent reads text that is not a number as 0.
    if (!a && t == 33) {
        done.value = 0;
        return done;
    }
    // Anything else that is not a number keeps the value and shows its text again.
    if (!a)
        return CommitResult{value, true, false};

    const double c = SoundSpeed(p.temperature);
    const double c2 = SoundSpeedInch(p.temperature);
    const int h = p.max / 2;
    double x = *a;

    switch (t) {
    case 0:
    case 19:
        done.value = x < 0 ? p.min : x >= 20 ? p.max : Cut(x / g_dDelayStepMs);
        break;
    case 1: {
        const double d = Lim(x / 100, 0, c * 20 / 1000);
        const double ms = d * 1000 / c;
        done.value = ms >= 20 ? p.max : Round(ms / g_dDelayStepMs);
        break;
    }
    case 2: {
        const double in = Lim(x, 0, c2 * 20 / 1000 * kInchPerMetre);
        const double ms = in / kInchPerMetre * 1000 / c2;
        done.value = ms >= 20 ? p.max : Round(ms / g_dDelayStepMs);
        break;
    }
    case 3:
        if (p.scale == 0)
            return CommitResult{value, true, false};
        x = Lim(x, (double(p.min) - h) * p.scale, h * p.scale);
        done.value = Cut(h + x / p.scale);
        break;
    case 4:
    case 8:
    case 9:
    case 28:
    case 29:
    case 6:
        done.value = LimI(n.value_or(0), p.min, p.max);
        break;
    case 5:
        x = Lim(x, 0.3, double(p.max) - 6);
        if (x >= 0.3 && x <= 0.9)
            done.value = Cut((x - 0.3) / 0.1);
        if (x >= 1 && x <= p.max)
            done.value = ToInt(std::trunc(x + 1e-9) + 6);
        break;
    case 7:
        if (p.scale == 0)
            return CommitResult{value, true, false};
        x = Lim(x, 0.05, 3.0);
        done.value = Cut((x - 0.05 + 0.0000011) * (1 / p.scale * 10) / 10);
        break;
    case 10:
    case 23:
    case 24:
    case 25:
    case 26:
    case 30:
    case 38:
        if (const auto v = DecibelValue(x, p))
            done.value = *v;
        break;
    case 11:
        done.value = FindQIndex(Lim(x, g_QTable[kQLast], g_QTable[0]));
        break;
    case 13:
    case 20:
    case 27:
        if (p.scale == 0)
            return CommitResult{value, true, false};
        x = Lim(x, p.min * p.scale, p.max * p.scale);
        done.value = Cut(x / p.scale);
        break;
    case 14:
    case 21: {
        const double s = t == 14 ? 0.01 : 0.1;
        done.value = Cut(Lim(x, p.min * s, p.max * s) / s);
        break;
    }
    case 15:
    case 22:
        done.value = Cut(Lim(t == 22 ? x / 2 : x, p.min, p.max));
        break;
    case 16:
        done.value = LimI(LongTimeValue(x), p.min, p.max);
        break;
    case 17: {
        const double d = Lim(x / 100, 0, c2 * 8400 / 1000);
        done.value = Round(d * 1000 / c2 / 0.021);
        break;
    }
    case 18: {
        const double ft = Lim(x, 0, c2 * 8400 / 1000 * kFeetPerMetre);
        done.value = Round(ft / kFeetPerMetre * 1000 / c2 / 0.021);
        break;
    }
    case 32: {
        // A level in Vpp; 0 or below has no logarithm and means the lowest level.
        const double dbu = x > 0 ? 20 * std::log10(x / 2.2) : p.min * p.scale - p.offset;
        NumEditParams q = p;
        q.type = 10;
        if (const auto v = DecibelValue(dbu, q))
            done.value = *v;
        break;
    }
    case 33:
        done.value = LimI(n.value_or(0), 0, 100);
        break;
    default:
        return keep;
    }
    return done;
}

std::optional<int> ParseSilently(const std::string &text, int value, const NumEditParams &p)
{
    (void)value;
    const int t = p.type;
    const bool off = IsOffWord(text);
    if (off && IsDecibelType(t))
        return DecibelValue(OffValue(t), p);
    const std::optional<double> a = ReadDouble(text);
    if (!a)
        return std::nullopt;
    const std::optional<int> n = ReadInt(text);
    const double x = *a;
    const double c = SoundSpeed(p.temperature);
    const double c2 = SoundSpeedInch(p.temperature);
    const int h = p.max / 2;
    const auto in = [](double v, double lo, double hi) { return v >= lo && v <= hi; };

    switch (t) {
    case 0:
    case 19:
        if (!in(x, 0, t == 0 ? 20 : 60))
            return std::nullopt;
        return x == 20 ? p.max : Round(x / g_dDelayStepMs);
    case 1: {
        const double d = x / 100;
        if (!in(d, 0, c * 20 / 1000))
            return std::nullopt;
        const double ms = d * 1000 / c;
        return ms >= 20 ? p.max : Round(ms / g_dDelayStepMs);
    }
    case 2: {
        if (!in(x, 0, c2 * 20 / 1000 * kInchPerMetre))
            return std::nullopt;
        const double ms = x / kInchPerMetre * 1000 / c2;
        return ms >= 20 ? p.max : Round(ms / g_dDelayStepMs);
    }
    case 3:
        if (p.scale == 0 || !in(x, (double(p.min) - h) * p.scale, h * p.scale))
            return std::nullopt;
        return Cut(h + x / p.scale);
    case 4:
    case 8:
    case 9:
    case 28:
    case 29:
        if (!n || *n < p.min || *n > p.max)
            return std::nullopt;
        return *n;
    case 5: {
        std::optional<int> r;
        if (in(x, 0.3, 0.9))
            r = Cut((x - 0.3) / 0.1);
        if (in(x, 1, p.max))
            r = ToInt(std::trunc(x + 1e-9) + 6);
        return r;
    }
    case 6:
        return LimI(n.value_or(0), p.min, p.max);
    case 7:
        if (p.scale == 0 || !in(x, 0.05, 3))
            return std::nullopt;
        return Cut((x - 0.05) * (1 / p.scale * 10) / 10);
    case 10:
    case 23:
    case 24:
    case 25:
    case 26:
    case 30:
    case 38:
        return DecibelValue(x, p);
    case 11:
        if (!in(x, g_QTable[kQLast], g_QTable[0]))
            return std::nullopt;
        return FindQIndex(x);
    case 13:
    case 20:
    case 27:
        if (p.scale == 0 || !in(x, p.min * p.scale, p.max * p.scale))
            return std::nullopt;
        return Cut(x / p.scale);
    case 14:
    case 21: {
        const double s = t == 14 ? 0.01 : 0.1;
        if (!in(x, p.min * s, p.max * s))
            return std::nullopt;
        return Cut(x / s);
    }
    case 15:
    case 22: {
        const double v = t == 22 ? x / 2 : x;
        if (!in(v, p.min, p.max))
            return std::nullopt;
        return Cut(v);
    }
    case 16:
        if (!in(x, 0, 8400))
            return std::nullopt;
        return LimI(LongTimeValue(x), p.min, p.max);
    case 17: {
        const double d = x / 100;
        if (!in(d, 0, c2 * 8400 / 1000))
            return std::nullopt;
        return Round(d * 1000 / c2 / 0.021);
    }
    case 18:
        if (!in(x, 0, c2 * 8400 / 1000 * kFeetPerMetre))
            return std::nullopt;
        return Round(x / kFeetPerMetre * 1000 / c2 / 0.021);
    case 33:
        return LimI(n.value_or(0), 0, 100);
    default:
        return std::nullopt;
    }
}

}  // namespace numedit
