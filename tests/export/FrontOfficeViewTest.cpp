// SPDX-License-Identifier: GPL-3.0-or-later
// Every command reads the front-office files it needs while it takes its
// view, before its work starts: a file it opened later could hold a save the
// other files do not.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "db/Run.h"
#include "export/CardCheck.h"
#include "export/CodeList.h"
#include "export/ExportRun.h"
#include "export/TaxReport.h"
#include "export/TaxRules.h"
#include "RunDoubles.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

TEST(FrontOfficeView, EveryCommandReadsItsFilesBeforeItsWork)
{
    ScratchDir scratch;
    scratch.writeSettings(scratch.filePath(QStringLiteral("ZaverUdevu.txt")));
    const QString from = QStringLiteral("01/01/2000");
    const QString to = QStringLiteral("30/04/2024");
    const FixedRooms rooms;
    const exporter::TaxRules rules = exporter::parseTaxRules("Tariffa=2\nComuneResidenti=ROMA\n");
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"export", [&] { EXPECT_EQ(exporter::CreaFileTassa(from, to, rooms).recordsWritten, 56); }},
        {"check", [&] { EXPECT_GT(exporter::checkAllCards(from, to, rooms).totals.checked, 56); }},
        {"tax report", [&] { EXPECT_GT(exporter::reportTax(from, to, rooms, rules).total.nights, 0); }},
        {"code list", [] { EXPECT_GT(exporter::ScriviListaPS(), 0); }},
        {"municipalities", [] { EXPECT_FALSE(exporter::municipalityNames().isEmpty()); }},
        {"one municipality", [] { EXPECT_TRUE(exporter::knownMunicipality(QStringLiteral("ROMA"))); }},
    };
    bool viewTaken = false;
    QStringList readLate;
    int readInView = 0;
    db::testing::setAfterViewTaken([&] { viewTaken = true; });
    db::testing::setAfterFileRead([&](const QString& fileName) {
        if (viewTaken)
            readLate << fileName;
        else
            ++readInView;
    });
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        viewTaken = false;
        readInView = 0;
        readLate.clear();
        command();
        EXPECT_TRUE(viewTaken);
        EXPECT_GT(readInView, 0);
        EXPECT_EQ(readLate, QStringList());
    }
    db::testing::setAfterViewTaken({});
    db::testing::setAfterFileRead({});
    EXPECT_TRUE(scratch.databasesUntouched());
}

}  // namespace
}  // namespace ostelvia::test
