// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Cp1252.h"

#include <gtest/gtest.h>

using namespace ostelvia::text;

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString decoded = fromCp1252(all);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(toCp1252(decoded), all);
}

TEST(Cp1252, DecodesTheWindowsBlock)
{
    EXPECT_EQ(fromCp1252(QByteArray("\x80")), QString(QChar(0x20AC)));
    EXPECT_EQ(fromCp1252(QByteArray("\x8A\x9F")), QStringLiteral("\u0160\u0178"));
    EXPECT_EQ(fromCp1252(QByteArray("\x92")), QStringLiteral("\u2019"));
    // Undefined bytes decode to the C1 control of the same number.
    EXPECT_EQ(fromCp1252(QByteArray("\x81\x8D\x8F\x90\x9D")), QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
    EXPECT_EQ(fromCp1252(QByteArray("CANT\xD9 L\xB4"
                                    "AQUILA")),
              QStringLiteral("CANTÙ L´AQUILA"));
}

TEST(Cp1252, EncodesLatin1AndTheWindowsBlock)
{
    EXPECT_EQ(toCp1252(QStringLiteral("FORLÌ ÿ")), QByteArray("FORL\xCC \xFF"));
    EXPECT_EQ(toCp1252(QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ")),
              QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"));
    EXPECT_EQ(toCp1252(QStringLiteral("‘’“”•–—˜™š›œžŸ")),
              QByteArray("\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"));
}

TEST(Cp1252, ALetterOutsideAsciiIsEncodedAtAnyPlaceOfALine)
{
    // ASCII goes over several characters at a time: the first other letter
    // may fall anywhere in such a group, or after the last whole one.
    for (int at = 0; at < 21; ++at) {
        QString line(21, QLatin1Char('a'));
        line[at] = QChar(0x20AC);
        QByteArray expected(21, 'a');
        expected[at] = '\x80';
        EXPECT_EQ(toCp1252(line), expected) << at;
        QByteArray appended("xy");
        appendCp1252(appended, line);
        EXPECT_EQ(appended, "xy" + expected) << at;
    }
}

TEST(Cp1252, CharactersWithoutAFormBecomeOneQuestionMarkEach)
{
    EXPECT_EQ(toCp1252(QStringLiteral("KOWALSKA ŁUCJA")), QByteArray("KOWALSKA ?UCJA"));
    // A character outside the BMP is two UTF-16 units but one byte.
    const QString smile = QString::fromUcs4(U"A\U0001F600B");
    ASSERT_EQ(smile.size(), 4);
    EXPECT_EQ(toCp1252(smile), QByteArray("A?B"));
    // Lone surrogates and the C1 controls with a Windows-1252 letter at their number.
    EXPECT_EQ(toCp1252(QString(QChar(0xD800)) + QLatin1Char('x')), QByteArray("?x"));
    EXPECT_EQ(toCp1252(QString(QChar(0x0080))), QByteArray("?"));
    EXPECT_EQ(toCp1252(QString(QChar(0x009F))), QByteArray("?"));
    EXPECT_EQ(toCp1252(QStringLiteral("Ā中")), QByteArray("??"));
}
