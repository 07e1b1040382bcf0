#include "model/DelayText.h"

#include "model/DeviceImage.h"
#include "model/SpeakerType.h"
#include "platform/GlobalData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

// ---- delay steppers ------------------------------------------------------------------------------

TEST(DelayStep, CentimetreCases)
{
    struct Case {
        int d, step, expected;
    } cases[] = {
        {0, +1, 1},       // 0.72 cm already shows as 1
        {100, +1, 101},
        {100, -1, 99},
        {958, +1, 959},   // 959 still shows 691 cm and the range ends first
        {959, +1, 960},
        {960, +1, 960},
        {0, -1, 0},
        {500, 0, 500},
        // Code 120 is exactly 86.5 cm, which "%0.0f" shows as 86 (the even neighbour), like 119.
        {119, +1, 121},
        {120, -1, 118},
        {121, -1, 120},
        {120, +1, 121},
        // Out-of-range codes are limited first.
        {2000, -1, 959},
        {-7, +1, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StepDelayCm(c.d, c.step), c.expected) << c.d << " step " << c.step;
}

TEST(DelayStep, InchCases)
{
    struct Case {
        int d, step, expected;
    } cases[] = {
        {100, +1, 102},  // 29 inches converted back with 346.4 m/s
        {100, -1, 95},   // the loop stops at 96; its 27 inches convert back to 95
        {958, +1, 960},  // the range ends: its end is the result
        {960, +1, 960},
        {0, -1, 0},
        {1, -1, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StepDelayInch(c.d, c.step), c.expected) << c.d << " step " << c.step;
}

TEST(DelayStep, CentimetreStepIsTheFirstCodeThatShowsAChange)
{
    for (int d = 0; d <= 960; ++d) {
        for (int step : {+1, -1}) {
            const int r = StepDelayCm(d, step);
            if ((step > 0 && d == 960) || (step < 0 && d == 0)) {
                EXPECT_EQ(r, d);
                continue;
            }
            ASSERT_EQ((r - d) * step > 0, true) << d << " " << step;
            const double start = ShownDistance(DelayCodeToCm(d));
            for (int k = d + step; k != r; k += step) {
                ASSERT_EQ(ShownDistance(DelayCodeToCm(k)), start) << d << " " << step << " at " << k;
            }
            const bool rangeEnded = step > 0 && r == 959;
            if (!rangeEnded) {
                EXPECT_GE(std::abs(ShownDistance(DelayCodeToCm(r)) - start), 1.0) << d << " " << step;
            }
        }
    }
}

TEST(DelayDistance, RoundingAtExactHalvesAndTheEnds)
{
    EXPECT_DOUBLE_EQ(DelayCodeToCm(120), 86.5);
    struct Case {
        int code;
        double cm, inch;
    } cases[] = {
        {119, 86, 34},
        {120, 86, 34},
        {121, 87, 34},
        {480, 346, 136},
        {960, 692, 273},  // 20 ms; the inches at 20 ms use 346.4 m/s
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ShownDistance(DelayCodeToCm(c.code)), c.cm) << c.code;
        EXPECT_EQ(ShownDistance(DelayCodeToInch(c.code)), c.inch) << c.code;
    }
    EXPECT_EQ(DelayCodeToMs(960), 20.0);
    EXPECT_EQ(DelayCodeToMs(5000), 20.0);
    EXPECT_EQ(DelayCodeToMs(-3), 0.0);
}

// ---- speaker groups ------------------------------------------------------------------------------

class SpeakerGroupTest : public ::testing::Test {
protected:
    void SetTypes(std::array<std::uint8_t, 8> t)
    {
        ResetSpeakerTypeStates();
        LoadWorkingSpeakerTypes(t.data());
    }
};

TEST_F(SpeakerGroupTest, FrontLeftPairingModes)
{
    SetTypes({1, 0, 3, 0, 0, 0, 0, 0});
    RebuildSpeakerGroups();
    const FrontSpeakerGroup &fl = g_SpeakerGroups.frontLeft;
    EXPECT_EQ(fl.state, 0);
    EXPECT_EQ(fl.pairingMode, 2);
    const int members[10] = {0, -1, 2, -1, -1, -1, -1, -1, -1, -1};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(fl.members[k], members[k]) << k;

    struct Case {
        std::array<std::uint8_t, 8> types;
        int state, mode;
    } cases[] = {
        {{1, 2, 0, 0, 0, 0, 0, 0}, 0, 1},   // tweeter without woofer
        {{2, 3, 0, 0, 0, 0, 0, 0}, 0, 3},   // no tweeter
        {{1, 3, 2, 0, 0, 0, 0, 0}, 0, 4},   // three members
        {{1, 3, 2, 4, 0, 0, 0, 0}, -1, -1}, // four: unusable
        {{1, 0, 0, 0, 0, 0, 0, 0}, -1, -1}, // one: unusable
        {{6, 6, 0, 0, 0, 0, 0, 0}, -1, -1}, // the full type belongs to no group
    };
    for (const Case &c : cases) {
        SetTypes(c.types);
        RebuildSpeakerGroups();
        EXPECT_EQ(g_SpeakerGroups.frontLeft.state, c.state);
        EXPECT_EQ(g_SpeakerGroups.frontLeft.pairingMode, c.mode);
    }

    // Front right uses its own tweeter and woofer codes.
    SetTypes({0, 0, 0, 0, 7, 9, 0, 0});
    RebuildSpeakerGroups();
    EXPECT_EQ(g_SpeakerGroups.frontRight.state, 0);
    EXPECT_EQ(g_SpeakerGroups.frontRight.pairingMode, 2);
    EXPECT_EQ(g_SpeakerGroups.frontRight.types[0], 7);
    EXPECT_EQ(g_SpeakerGroups.frontRight.types[1], 9);
    EXPECT_EQ(g_SpeakerGroups.frontRight.types[2], -1);
}

TEST_F(SpeakerGroupTest, PlainGroupsNeedTwoOrThreeMembers)
{
    SetTypes({19, 0, 0, 0, 22, 23, 13, 0});
    bool hidden = false;
    RebuildSpeakerGroups([&] { hidden = true; });
    EXPECT_TRUE(hidden);
    EXPECT_EQ(g_SpeakerGroups.centre.state, -1);
    EXPECT_EQ(g_SpeakerGroups.subwoofer.state, 0);
    EXPECT_EQ(g_SpeakerGroups.rearLeft.state, -1);
    EXPECT_EQ(g_SpeakerGroups.rearRight.state, -1);

    SetTypes({19, 20, 0, 0, 0, 0, 0, 0});
    RebuildSpeakerGroups();
    EXPECT_EQ(g_SpeakerGroups.centre.state, 0);
    SpeakerGroupView v = SpeakerGroupOfOutput(1);
    ASSERT_NE(v.state, nullptr);
    EXPECT_EQ(v.state, &g_SpeakerGroups.centre.state);
    EXPECT_EQ(v.members[0], 0);
    EXPECT_EQ(v.members[1], 1);
    EXPECT_EQ(SpeakerGroupOfOutput(2).state, nullptr);  // NULL type
    EXPECT_EQ(SpeakerGroupOfOutput(9).state, nullptr);

    SetTypes({19, 20, 19, 20, 0, 0, 0, 0});  // more than three
    RebuildSpeakerGroups();
    EXPECT_EQ(g_SpeakerGroups.centre.state, -1);
}

// ---- text fields -------------------------------------------------------------------------------

TEST(TextField, PaddedCopyAndLengthError)
{
    std::array<std::uint8_t, 16> buf;
    buf.fill(0xEE);
    ASSERT_EQ(CStringToBufferPadded(buf.data(), "Custom", 16), TextFieldResult::Ok);
    const std::array<std::uint8_t, 16> expected{'C', 'u', 's', 't', 'o', 'm', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(buf, expected);

    EXPECT_EQ(CStringToBufferPadded(buf.data(), "0123456789ABCDEF", 16), TextFieldResult::TooLong);
    EXPECT_EQ(buf, expected);  // unchanged

    // Limits count GBK bytes: three Chinese characters take six.
    std::array<std::uint8_t, 8> name{};
    EXPECT_EQ(CStringToBufferPadded(name.data(), "前置左", 8), TextFieldResult::Ok);
    EXPECT_EQ(name[6], 0);
    EXPECT_EQ(BufferToCStringExact(name.data(), 8), "前置左");
    EXPECT_EQ(CStringToBufferPadded(name.data(), "前置左高", 8), TextFieldResult::TooLong);
    EXPECT_EQ(CheckTextField("前置左高", 8), TextFieldResult::TooLong);
    EXPECT_EQ(CheckTextField("1234567", 8), TextFieldResult::Ok);
    EXPECT_EQ(CStringToBufferPadded(name.data(), "\xF0\x9F\x8E\xB5", 8), TextFieldResult::Unencodable);  // emoji
    EXPECT_EQ(CStringToBufferPadded(name.data(), "\xFF", 8), TextFieldResult::Unencodable);  // bad UTF-8
    EXPECT_EQ(BufferToCStringExact(name.data(), 8), "前置左");

    std::array<std::uint8_t, 8> t;
    t.fill(0xEE);
    EXPECT_EQ(CStringToBufferTerminated(t.data(), 8, "abc"), TextFieldResult::Ok);
    EXPECT_EQ(t, (std::array<std::uint8_t, 8>{'a', 'b', 'c', 0, 0, 0, 0, 0}));
    EXPECT_EQ(CStringToBufferFilled(t.data(), 8, "abcdefgh", 1), TextFieldResult::Ok);
    EXPECT_EQ(CStringToBufferFilled(t.data(), 8, "ab", 1), TextFieldResult::Ok);
    EXPECT_EQ(t, (std::array<std::uint8_t, 8>{'a', 'b', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(CStringToBufferFilled(t.data(), 8, "abcdefghi", 0), TextFieldResult::TooLong);
}

TEST(TextField, ReadingTrimsAndStopsAtTheField)
{
    std::array<std::uint8_t, 16> field{' ', ' ', 'M', 'u', 's', 'i', 'c', ' ', '1'};
    EXPECT_EQ(BufferToCString(field.data(), 16), "Music 1");

    // BufferToCString reads at most n - 1 bytes, the exact twin all n.
    const std::uint8_t full[8] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    EXPECT_EQ(BufferToCString(full, 8), "ABCDEFG");
    EXPECT_EQ(BufferToCStringExact(full, 8), "ABCDEFGH");

    // A double-byte character cut by the field's end is dropped, not turned into garbage.
    std::array<std::uint8_t, 8> cut{};
    std::string gbk;
    ASSERT_TRUE(Utf8ToGbkBytes("a前置左高", gbk));
    ASSERT_EQ(gbk.size(), 9u);
    std::memcpy(cut.data(), gbk.data(), 8);
    EXPECT_EQ(BufferToCString(cut.data(), 8), "a前置左");
    EXPECT_EQ(BufferToCStringExact(cut.data(), 8), "a前置左");
    // Bytes that are no GBK at all read as '?', and such a name can be written back.
    const std::uint8_t bad[4] = {'x', 0xFF, 'y', 0};
    EXPECT_EQ(BufferToCStringExact(bad, 4), "x?y");
    std::array<std::uint8_t, 8> back{};
    EXPECT_EQ(CStringToBufferPadded(back.data(), BufferToCStringExact(bad, 4), 8), TextFieldResult::Ok);

    EXPECT_TRUE(IsBlankString(" \t "));
    EXPECT_TRUE(IsBlankString(""));
    EXPECT_FALSE(IsBlankString(" a "));
}

TEST(TextField, LengthErrorInBothLanguages)
{
    const int saved = g_bChinese.load();
    g_bChinese = 0;
    EXPECT_EQ(CharLenErrorText(), "Char len error!");
    EXPECT_EQ(CharLenErrorCode(), -3);
    g_bChinese = 1;
    EXPECT_EQ(CharLenErrorText(), "字符长度错误!");
    EXPECT_EQ(CharLenErrorCode(), -2);
    g_bChinese = saved;
}

TEST(TextField, DuplicatePresetNames)
{
    {
        std::lock_guard lock(g_csImage);
        for (DeviceImage &img : g_MachinePresets)
            img.bytes.fill(0);
        std::memcpy(g_MachinePresets[2].data(), "Stage", 5);
    }
    const std::uint8_t stage[16] = {'S', 't', 'a', 'g', 'e'};
    EXPECT_TRUE(IsDuplicatePresetName(0, stage, 1, 16));
    EXPECT_FALSE(IsDuplicatePresetName(2, stage, 1, 16));  // its own slot does not count
    const std::uint8_t other[16] = {'S', 't', 'a', 'g', 'e', '2'};
    EXPECT_FALSE(IsDuplicatePresetName(0, other, 1, 16));
    EXPECT_TRUE(IsDuplicatePresetName(0, other, 1, 5));   // only len bytes compared
    EXPECT_FALSE(IsDuplicatePresetName(0, other, 1, 500));  // len limited to the 16-byte field
    // The records table is all zero.
    const std::uint8_t zero[168] = {};
    EXPECT_TRUE(IsDuplicatePresetName(0, zero, 0, 168));
    EXPECT_FALSE(IsDuplicatePresetName(0, stage, 0, 16));
}

// ---- small functions ---------------------------------------------------------------------------

TEST(SmallFunctions, SnapIndex)
{
    const int cases[][2] = {{5, 5}, {11, 11}, {12, 16}, {21, 21}, {26, 26}, {27, 26}, {30, 36},
                            {191, 191}, {200, 191}, {-4, -4}};
    for (const auto &c : cases)
        EXPECT_EQ(SnapIndex(c[0]), c[1]) << c[0];
}

TEST(SmallFunctions, LayoutBits)
{
    g_nInputLayout = 0;
    SetInputLayoutBit1(5);
    EXPECT_EQ(g_nInputLayout.load(), 2);
    EXPECT_EQ(GetInputLayoutBit1(), 1);
    EXPECT_EQ(GetInputLayoutBit0(), 0);
    SetInputLayoutBit0(1);
    SetInputLayoutBit1(0);
    EXPECT_EQ(g_nInputLayout.load(), 1);

    g_PresetLoadMarks.fill(7);
    ResetChannelSelection();
    EXPECT_EQ(g_PresetLoadMarks, (std::array<int, 9>{-1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

} // namespace
