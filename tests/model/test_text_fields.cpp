#include "model/TextFields.h"

#include "model/DeviceImage.h"
#include "platform/GlobalData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <mutex>
#include <string>

namespace {

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

} // namespace
