// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Blanks.h"

#include <gtest/gtest.h>

using ostelvia::text::hasControlOrSurrogate;

// Every character that must be cleaned is found at every place of a group
// of four, and its printable neighbours are not taken for one.
TEST(Blanks, ControlsAndSurrogatesAreFoundAnywhere)
{
    const char16_t found[] = {0x00, 0x09, 0x0A, 0x0D, 0x1F, 0x7F, 0xD800, 0xDBFF, 0xDC00, 0xDFFF};
    const char16_t passed[] = {0x20, 0x41, 0x7E, 0x80, 0x9F, 0xA0, 0xE0, 0x20AC, 0xD7FF, 0xE000, 0xFFFF};
    for (int size = 1; size <= 9; ++size) {
        for (int at = 0; at < size; ++at) {
            QString text(size, QLatin1Char('A'));
            for (char16_t c : found) {
                text[at] = QChar(c);
                EXPECT_TRUE(hasControlOrSurrogate(text)) << "U+" << std::hex << int(c) << " at " << at;
            }
            for (char16_t c : passed) {
                text[at] = QChar(c);
                EXPECT_FALSE(hasControlOrSurrogate(text)) << "U+" << std::hex << int(c) << " at " << at;
            }
        }
    }
    EXPECT_FALSE(hasControlOrSurrogate(QStringView()));
}

TEST(Blanks, AViewIsTrimmedOfBlanksOnly)
{
    EXPECT_EQ(ostelvia::text::trimBlanks(QStringView(u"  ROMA \t ")), QStringView(u"ROMA \t"));
    EXPECT_EQ(ostelvia::text::trimBlanks(QStringView(u"   ")), QStringView());
    EXPECT_TRUE(ostelvia::text::trimBlanks(QStringView(u"   ")).isEmpty());
}
