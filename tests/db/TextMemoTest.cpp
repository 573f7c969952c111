// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "db/TextMemo.h"

namespace ostelvia::db::detail {
namespace {

// Decodes by upper-casing into a buffer reused from call to call, as the
// file's decoder does, and counts its calls.
struct CountingDecoder {
    std::string buffer;
    int calls = 0;
    std::string_view operator()(std::string_view stored)
    {
        ++calls;
        buffer.assign(stored);
        for (char& c : buffer)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return buffer;
    }
};

std::string_view lookUp(TextMemo& memo, CountingDecoder& decoder, const std::string& stored)
{
    return memo.get(stored, [&] { return decoder(stored); });
}

TEST(TextMemo, RepeatedValuesAreDecodedOnceAndKeepTheirText)
{
    TextMemo memo;
    CountingDecoder decoder;
    const std::string_view first = lookUp(memo, decoder, "roma");
    for (int i = 0; i < 5000; ++i)
        EXPECT_EQ(lookUp(memo, decoder, "room" + std::to_string(i % 300)), "ROOM" + std::to_string(i % 300));
    EXPECT_EQ(decoder.calls, 301);
    EXPECT_EQ(first, "ROMA");  // still valid after the others were added
}

TEST(TextMemo, ValuesThatHardlyRepeatAreDecodedEachTimeAndStillRight)
{
    TextMemo memo;
    CountingDecoder decoder;
    const int fields = static_cast<int>(TextMemo::kMaxTexts) * 2;
    for (int i = 0; i < fields; ++i)
        ASSERT_EQ(lookUp(memo, decoder, "name" + std::to_string(i)), "NAME" + std::to_string(i));
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(lookUp(memo, decoder, "name0"), "NAME0");
    // Judged after the trial: no longer kept, every field decoded.
    EXPECT_EQ(decoder.calls, fields + 10);
}

TEST(TextMemo, PastItsSizeItAnswersNewValuesWithoutKeepingThem)
{
    TextMemo memo;
    CountingDecoder decoder;
    const int kept = static_cast<int>(TextMemo::kMaxTexts);
    // Every value asked three times in a row: repeats enough to stay on.
    for (int i = 0; i < kept + 100; ++i)
        for (int n = 0; n < 3; ++n)
            ASSERT_EQ(lookUp(memo, decoder, "d" + std::to_string(i)), "D" + std::to_string(i));
    EXPECT_EQ(decoder.calls, kept + 100 * 3);
}

}  // namespace
}  // namespace ostelvia::db::detail
