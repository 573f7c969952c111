// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/WordSplit.h"

#include <gtest/gtest.h>

#include <array>

using ostelvia::text::ParteStringa;

namespace {

struct Split {
    const char* text;
    std::array<const char*, 4> parts;
};

const Split kSplits[] = {
    {"ROMA RM I", {"I", "ROMA RM", "RM", "ROMA"}},
    {"REGGIO EMILIA RE I", {"I", "REGGIO EMILIA RE", "RE", "REGGIO EMILIA"}},
    {"MONTE SANT'ANGELO FG I", {"I", "MONTE SANT'ANGELO FG", "FG", "MONTE SANT'ANGELO"}},
    {"DE LUCA ANNA MARIA", {"MARIA", "DE LUCA ANNA", "ANNA", "DE LUCA"}},
    // Two words: the backward scan stops on the first character.
    {"ROSSI MARIO", {"MARIO", "ROSSI", "OSSI", ""}},
    {"A B", {"B", "A", "", ""}},
    // Two blanks in a row: an empty word between them.
    {"ROMA RM  I", {"I", "ROMA RM", "", "ROMA RM"}},
    {"  FERRARI  PAOLO ", {"PAOLO", "FERRARI", "", "FERRARI"}},
    // A single word is the last word.
    {"ROMA", {"ROMA", "", "", ""}},
    {" ROMA ", {"ROMA", "", "", ""}},
    {"X", {"X", "", "", ""}},
    // Only the space separates words.
    {"ROSSI\tMARIO", {"ROSSI\tMARIO", "", "", ""}},
    {"", {"", "", "", ""}},
    {"    ", {"", "", "", ""}},
};

}  // namespace

TEST(ParteStringa, SplitsAtTheLastTwoBlanks)
{
    for (const Split& s : kSplits) {
        for (int part = 0; part < 4; ++part) {
            EXPECT_EQ(ParteStringa(QString::fromUtf8(s.text), part), QString::fromUtf8(s.parts[part]))
                << "text '" << s.text << "' part " << part;
        }
    }
}

TEST(ParteStringa, OuterBlanksChangeNoPart)
{
    for (int part = 0; part < 4; ++part) {
        EXPECT_EQ(ParteStringa(QStringLiteral("   ROMA RM I  "), part),
                  ParteStringa(QStringLiteral("ROMA RM I"), part));
    }
}

TEST(ParteStringa, PartNumberOutsideZeroToThreeGivesEmpty)
{
    EXPECT_EQ(ParteStringa(QStringLiteral("ROMA RM I"), 4), QString());
    EXPECT_EQ(ParteStringa(QStringLiteral("ROMA RM I"), -1), QString());
    EXPECT_EQ(ParteStringa(QStringLiteral("ROMA"), 4), QString());
}
