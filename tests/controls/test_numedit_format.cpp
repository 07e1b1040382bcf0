// Display, commit and silent-parse rules of the numeric edit, as tables.

#include "controls/NumEditFormat.h"

#include <gtest/gtest.h>

#include <climits>

#include <algorithm>
#include <optional>
#include <string>

namespace {

NumEditParams P(int type, int min, int max, double scale = 0, double offset = 0, std::string unit = "",
                bool chinese = false)
{
    NumEditParams p;
    p.type = type;
    p.min = min;
    p.max = max;
    p.scale = scale;
    p.offset = offset;
    p.unit = std::move(unit);
    p.chinese = chinese;
    return p;
}

struct FormatCase {
    const char *what;
    NumEditParams p;
    int v;
    std::optional<std::string> text;
};

TEST(NumEditFormat, ShowsEveryTypeByItsRule)
{
    const FormatCase cases[] = {
        {"delay ms at max", P(0, 0, 960, 0, 0, "ms"), 960, "20.000MS"},
        {"delay ms below max", P(0, 0, 960, 0, 0, "ms"), 959, "19.979MS"},
        {"delay ms Chinese", P(0, 0, 960, 0, 0, "ms", true), 480, "10.000毫秒"},
        {"delay ms bare", P(0, 0, 960), 480, "10.000"},
        {"delay max whatever the range", P(19, 0, 500, 0, 0, "ms"), 500, "20.000MS"},
        {"delay cm at max", P(1, 0, 960, 0, 0, "cm"), 960, "692CM"},
        {"delay cm Chinese", P(1, 0, 960, 0, 0, "cm", true), 480, "346厘米"},
        {"delay inch at max uses 346.4", P(2, 0, 960, 0, 0, "in"), 960, "273INCH"},
        {"delay inch below max uses 346", P(2, 0, 960, 0, 0, "in"), 480, "136INCH"},
        {"delay inch Chinese", P(2, 0, 960, 0, 0, "in", true), 480, "136英寸"},
        {"centred", P(3, 0, 240, 0.5), 100, "-10.0"},
        {"plain", P(4, 0, 100), 42, "42"},
        {"short time low", P(5, 0, 206), 0, "0.3ms"},
        {"short time 6", P(5, 0, 206), 6, "0.9ms"},
        {"short time 7", P(5, 0, 206), 7, "1ms"},
        {"int with unit", P(6, 0, 100, 0, 0, "%"), 7, "7%"},
        {"scaled 2 decimals", P(7, 0, 295, 0.01), 100, "1.05"},
        {"frequency", P(8, 20, 20000), 1000, "1000Hz"},
        {"frequency top", P(9, 20, 19999), 19999, "20000Hz"},
        {"scaled minus offset", P(10, 0, 600, 0.1, 60), 300, "-30.0"},
        {"Q wide", P(11, 0, 295), 95, "1.414"},
        {"Q narrow uses two decimals", P(11, 0, 295), 0, "28.85"},
        {"Q index beyond the table is limited", P(11, 0, 295), 400, "0.404"},
        {"temperature", P(12, 0, 200), 75, "25C(77F)"},
        {"percent scaled", P(13, 0, 100, 1, 0, "x"), 55, "55%x"},
        {"hundredths", P(14, 0, 1000, 0, 0, "s"), 125, "1.25s"},
        {"limited to max", P(15, 0, 10, 0, 0, "u"), 12, "10u"},
        {"long time zero", P(16, 0, 20000), 0, "0.0000"},
        {"long time fine", P(16, 0, 20000), 1, "0.0104"},
        {"long time 100", P(16, 0, 20000), 9616, "100.000"},
        {"long time coarse", P(16, 0, 20000), 9626, "100.210"},
        {"tenths", P(21, 0, 100, 0, 0, "dB"), 15, "1.5dB"},
        {"long distance in cm", P(17, 0, 400000), 1000, "727.440"},
        {"long distance in feet", P(18, 0, 400000), 1000, "23.866"},
        {"scaled integer cut", P(20, 0, 100, 0.5, 0, "x"), 55, "27x"},
        {"scaled decibels cut", P(27, 0, 100, 1.5), 7, "10dB"},
        {"doubled", P(22, 0, 10), 12, "20"},
        {"gain off", P(23, 0, 600, 0.1, 60), 0, "OFF"},
        {"gain off Chinese", P(23, 0, 600, 0.1, 60, "", true), 0, "关闭"},
        {"gain 1", P(23, 0, 600, 0.1, 60), 1, "-59.9dB"},
        {"gain top", P(23, 0, 600, 0.1, 60), 600, "0.0dB"},
        {"gain above 0", P(23, 0, 66, 1, 60), 66, "6.0dB"},
        {"gain in dBu", P(23, 0, 66, 1, 60, "dBu"), 66, "6dBu"},
        {"dBu", P(24, 0, 100, 0.5, 20), 10, "-15.0dBu"},
        {"off at min", P(25, 0, 60, 1, 60), 0, "OFF"},
        {"limited dBu", P(26, 0, 60, 1, 30), 70, "30dBu"},
        {"frequency ends low", P(28, 20, 1000), 20, "20Hz"},
        {"frequency ends high", P(29, 5000, 20000), 20000, "20000Hz"},
        {"off at max", P(30, 0, 50, 1, 30), 50, "OFF"},
        {"balance right", P(31, 0, 200), 30, "R_70%"},
        {"balance centre stays English", P(31, 0, 200, 0, 0, "", true), 100, "OFF"},
        {"balance left", P(31, 0, 200), 150, "L_50%"},
        {"balance beyond max", P(31, 0, 200), 250, ""},
        {"Vpp", P(32, 0, 100, 1, 100), 99, "1.961Vpp"},
        {"Vpp off at max", P(32, 0, 100, 1, 100), 100, "OFF"},
        {"percent limited", P(33, 0, 200), 150, "100"},
        {"inverted dB", P(38, 0, 60, 1, 10), 20, "-10dBu"},
        {"ratio 1", P(40, 1, 191), 1, "1:1"},
        {"ratio 2", P(40, 1, 191), 2, "1.1:1"},
        {"ratio 11", P(40, 1, 191), 11, "2.0:1"},
        {"ratio 16", P(40, 1, 191), 16, "2.5:1"},
        {"ratio top", P(40, 1, 191), 191, "20.0:1"},
        {"text types keep the text", P(36, 0, 10), 3, std::nullopt},
        {"unknown type", P(41, 0, 10), 3, std::nullopt},
        {"negative type", P(-1, 0, 10), 3, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(numedit::Format(c.v, c.p), c.text) << c.what;
}

struct CommitCase {
    const char *what;
    NumEditParams p;
    int old;
    const char *typed;
    int value;
    bool notify;
};

TEST(NumEditFormat, LimitingTypesStoreTheValueTheyShow)
{
    const struct {
        const char *name;
        NumEditParams p;
        int v, stored;
    } cases[] = {
        {"dBu above the range", P(26, 0, 60, 1, 30), 70, 60},
        {"dBu below the range", P(26, 10, 60, 1, 30), -5, 10},
        {"Vpp above the range", P(32, 0, 100, 1, 100), 130, 100},
        {"percent within a wider range", P(33, 0, 200), 150, 100},
        {"percent below zero", P(33, -50, 200), -20, 0},
        {"inverted dB above the range", P(38, 0, 60, 1, 10), 61, 60},
        {"inverted dB within", P(38, 0, 60, 1, 10), 20, 20},
        {"other types keep the value", P(4, 0, 10), 25, 25},
        {"balance beyond max keeps it", P(31, 0, 200), 250, 250},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(numedit::StoredValue(c.v, c.p), c.stored) << c.name;
        // The text shown is the text of the stored value.
        EXPECT_EQ(numedit::Format(c.v, c.p), numedit::Format(c.stored, c.p)) << c.name;
    }
}

TEST(NumEditFormat, CommitsTypedTextPerType)
{
    const CommitCase cases[] = {
        {"ms above 20 is max", P(0, 0, 960), 7, "25", 960, true},
        {"ms cut", P(0, 0, 960), 7, "10.5", 504, true},
        {"ms negative is min", P(0, 0, 960), 7, "-1", 0, true},
        {"ms junk keeps the value", P(0, 0, 960), 7, "abc", 7, false},
        {"cm", P(1, 0, 960), 7, "346", 480, true},
        {"cm beyond the range", P(1, 0, 960), 7, "5000", 960, true},
        {"inch", P(2, 0, 960), 7, "68", 239, true},
        {"inch at the top", P(2, 0, 960), 7, "273", 960, true},
        {"centred", P(3, 0, 240, 0.5), 7, "-10", 100, true},
        {"off word", P(23, 0, 600, 0.1, 60), 7, "OFF", 0, true},
        {"Chinese off word", P(23, 0, 600, 0.1, 60), 7, "关闭", 0, true},
        {"below the range", P(23, 0, 600, 0.1, 60), 7, "-70", 0, true},
        {"above the range", P(23, 0, 600, 0.1, 60), 7, "3", 600, true},
        {"decimal gain", P(23, 0, 600, 0.1, 60), 7, "-3.55", 564, true},
        {"inverted dB", P(38, 0, 60, 1, 10), 7, "-10", 20, true},
        {"frequency OFF changes nothing", P(8, 20, 20000), 500, "OFF", 500, false},
        {"frequency with unit", P(8, 20, 20000), 500, "1000Hz", 1000, true},
        {"frequency limited", P(8, 20, 20000), 500, "5", 20, true},
        {"Q above the table", P(11, 0, 295), 52, "50", 0, true},
        {"Q below the table", P(11, 0, 295), 52, "0.1", 295, true},
        {"Q exact", P(11, 0, 295), 52, "1.414", 95, true},
        {"short time fraction", P(5, 0, 206), 9, "0.5", 2, true},
        {"short time gap keeps", P(5, 0, 206), 9, "0.95", 9, true},
        {"short time limited", P(5, 0, 206), 9, "300", 206, true},
        {"scaled 2 decimals", P(7, 0, 295, 0.01), 3, "1.05", 100, true},
        {"tenths", P(21, 0, 100), 3, "1.55", 15, true},
        {"doubled", P(22, 0, 10), 3, "8", 4, true},
        {"Vpp zero is min", P(32, 0, 100, 1, 100), 50, "0", 0, true},
        {"Vpp negative is min", P(32, 0, 100, 1, 100), 50, "-2", 0, true},
        {"Vpp level", P(32, 0, 100, 1, 100), 50, "2.2", 100, true},
        {"percent", P(33, 0, 200), 3, "150", 100, true},
        {"percent of letters is 0", P(33, 0, 100), 40, "abc", 0, true},
        {"long distance in cm", P(17, 0, 400000), 3, "727.44", 1000, true},
        {"long distance in feet", P(18, 0, 400000), 3, "23.866", 1000, true},
        {"scaled percent", P(13, 0, 100, 1), 3, "55%", 55, true},
        {"limited integer cut", P(15, 0, 10), 3, "7.9", 7, true},
        {"dBu", P(24, 0, 100, 0.5, 20), 3, "-15", 10, true},
        {"off at min", P(25, 0, 60, 1, 60), 3, "OFF", 0, true},
        {"off at max is 12 dBu", P(30, 0, 50, 1, 30), 3, "OFF", 42, true},
        {"ratio keeps typed text", P(40, 1, 191), 16, "3", 16, false},
        {"balance keeps typed text", P(31, 0, 200), 16, "3", 16, false},
    };
    for (const auto &c : cases) {
        const auto r = numedit::Commit(c.typed, c.old, c.p);
        EXPECT_EQ(r.value, c.value) << c.what;
        EXPECT_EQ(r.notify, c.notify) << c.what;
    }
    // Junk is replaced by the text of the kept value; typed text of rule-less types stays.
    EXPECT_TRUE(numedit::Commit("abc", 7, P(0, 0, 960)).reshow);
    EXPECT_FALSE(numedit::Commit("3", 16, P(40, 1, 191)).reshow);
}

TEST(NumEditFormat, LongTimeParseInvertsItsDisplay)
{
    const NumEditParams p = P(16, 0, 20000);
    for (int v : {0, 1, 500, 9615, 9616, 9617, 12000, 20000}) {
        const auto text = numedit::Format(v, p);
        ASSERT_TRUE(text);
        EXPECT_EQ(numedit::Commit(*text, -1, p).value, v) << *text;
        EXPECT_EQ(numedit::ParseSilently(*text, -1, p), v) << *text;
    }
}

struct SilentCase {
    const char *what;
    NumEditParams p;
    const char *typed;
    std::optional<int> value;
};

TEST(NumEditFormat, SilentParseRoundsAndLeavesOutOfRangeAlone)
{
    const SilentCase cases[] = {
        {"ms beyond 20 unchanged", P(0, 0, 960), "25", std::nullopt},
        {"ms exactly 20 is max", P(0, 0, 960), "20", 960},
        {"ms rounded", P(0, 0, 960), "10.51", 504},
        {"type 19 takes up to 60", P(19, 0, 2880), "30", 1440},
        {"cm", P(1, 0, 960), "346", 480},
        {"frequency out of range", P(8, 20, 20000), "5", std::nullopt},
        {"frequency", P(8, 20, 20000), "1000Hz", 1000},
        {"junk", P(4, 0, 100), "OFF", std::nullopt},
        {"gain off", P(23, 0, 600, 0.1, 60), "OFF", 0},
        {"gain limited", P(23, 0, 600, 0.1, 60), "3", 600},
        {"Q outside", P(11, 0, 295), "50", std::nullopt},
        {"scaled no bias", P(7, 0, 295, 0.01), "1.05", 100},
        {"percent", P(33, 0, 200), "150", 100},
        {"Vpp reads nothing", P(32, 0, 100, 1, 100), "2.2", std::nullopt},
        {"ratio reads nothing", P(40, 1, 191), "5", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(numedit::ParseSilently(c.typed, 7, c.p), c.value) << c.what;
}

TEST(NumEditFormat, HostileTextAndParametersAreHandledSafely)
{
    const char *texts[] = {"", " ", "+", "-", ".", "e5", "1e308", "-1e308", "1e-320", "nan", "inf", "-inf",
                           "99999999999999999999", "-99999999999999999999", "0x1F", "\xff\xfe", "3.4.5", "OFF"};
    const NumEditParams params[] = {P(0, 0, 960), P(3, 0, 240, 0.0), P(7, 0, 295, 0.0), P(10, 0, 600, 0.0, 60),
                                    P(13, 0, 100, 0.0), P(23, 0, 600, 1e-300, 60), P(32, 0, 100, 1, 100),
                                    P(4, -2147483647, 2147483647), P(38, 0, 60, 1e300, 1e300)};
    for (NumEditParams p : params) {
        for (int type = -1; type <= 42; ++type) {
            p.type = type;
            for (const char *t : texts) {
                const auto r = numedit::Commit(t, p.min, p);
                (void)numedit::ParseSilently(t, p.min, p);
                (void)numedit::Format(r.value, p);
            }
            for (int v : {INT_MIN, -1, 0, 1, 295, 296, 9616, INT_MAX})
                (void)numedit::Format(v, p);
        }
    }
    // Integer types never leave their range, whatever was typed.
    for (const char *t : texts) {
        const int v = numedit::Commit(t, 500, P(8, 20, 20000)).value;
        EXPECT_TRUE(v >= 20 && v <= 20000) << t;
    }
}

}  // namespace
