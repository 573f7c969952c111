// SPDX-License-Identifier: GPL-3.0-or-later
// The review windows on their own: the field view of a line and the totals,
// on the lines of the basic data's wide-range export.
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QtTest>

#include "FrontOffice.h"
#include "RecordLines.h"
#include "ui/main/FieldView.h"
#include "ui/main/TotalsView.h"

using namespace ostelvia;
using ui::FieldView;

namespace {

QStringList wideRange()
{
    return test::referenceLines(QStringLiteral("wide-range.out"));
}

QString cell(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

QString dots(int n)
{
    return QString(n, QChar(0x00B7));
}

}  // namespace

class TestReviewWindows : public QObject {
    Q_OBJECT

private slots:
    void fieldViewOfARecord()
    {
        test::ScratchDir dir;
        const QStringList lines = wideRange();
        FieldView view(lines.at(1), 2);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTableWidget* t = view.fields();
        QCOMPARE(t->rowCount(), 38);
        QVERIFY(!view.warning()->isVisible());
        QVERIFY(view.summary()->text().contains(QStringLiteral("SANTORO LUIGI")));
        QCOMPARE(view.windowTitle(), QStringLiteral("Campi della riga 2"));
        // Each row: number, description, positions, width, value, meaning.
        const struct {
            int row;
            QStringList cells;
        } rows[] = {
            {0, {"1", "Numero componente", "1–7", "7", "0005023", ""}},
            {1, {"2", "Data di arrivo", "8–15", "8", "20240413", "13/04/2024"}},
            {12, {"13", "Cognome", "61–90", "30", "SANTORO" + dots(23), ""}},
            {29, {"30", "Tipo di ospite", "715–716", "2", "16", "ospite singolo"}},
            {30, {"31", "Codice comune di nascita", "717–725", "9", "405058091", "ROMA"}},
            {31, {"32", "Codice stato di nascita", "726–734", "9", "100000100", "ITALIA"}},
            {36, {"37", "Codice luogo di rilascio del documento", "767–775", "9", "405058091", "ROMA"}},
            {37, {"38", "Sesso", "776", "1", "M", ""}},
        };
        for (const auto& r : rows) {
            for (int c = 0; c < r.cells.size(); ++c)
                QCOMPARE(cell(t, r.row, c), r.cells.at(c));
        }
        // Every value together is the line, blanks made visible.
        QString joined;
        for (int row = 0; row < 38; ++row)
            joined += cell(t, row, FieldView::Value);
        QCOMPARE(joined, ui::visibleBlanks(lines.at(1)));
        QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void fieldViewNamesMissingAndZeroCodes()
    {
        test::ScratchDir dir;
        const QStringList lines = wideRange();
        FieldView blanks(lines.at(4), 5);  // place of issue not in the code table
        QCOMPARE(cell(blanks.fields(), 36, FieldView::Value), dots(9));
        QCOMPARE(cell(blanks.fields(), 36, FieldView::Meaning), QStringLiteral("nessun codice"));
        FieldView abroad(lines.at(7), 8);  // born abroad: zeros for the municipality
        QCOMPARE(cell(abroad.fields(), 30, FieldView::Meaning), QStringLiteral("zeri: luogo fuori d'Italia"));
        QString unknown = lines.at(1);
        unknown.replace(716, 9, QStringLiteral("499999990"));
        FieldView notFound(unknown, 2);
        QCOMPARE(cell(notFound.fields(), 30, FieldView::Meaning), QStringLiteral("codice non trovato"));
    }

    void fieldViewOfTheHeaderAndOfAMalformedLine()
    {
        test::ScratchDir dir;
        FieldView header(wideRange().first(), 1);
        header.show();
        QVERIFY(QTest::qWaitForWindowExposed(&header));
        QVERIFY(header.summary()->text().contains(QStringLiteral("riga di intestazione")));
        QVERIFY(!header.fields()->isVisible());

        const QString cut = wideRange().at(1).left(700);
        FieldView malformed(cut, 2);
        malformed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&malformed));
        QVERIFY(malformed.warning()->isVisible());
        QVERIFY(malformed.warning()->text().contains(QStringLiteral("700 caratteri invece di 776")));
        QCOMPARE(malformed.fields()->rowCount(), 38);
        QCOMPARE(cell(malformed.fields(), 12, FieldView::Value), QStringLiteral("SANTORO") + dots(23));
        // Field 36 is cut by the line's end, 37 and 38 are past it.
        QCOMPARE(cell(malformed.fields(), 35, FieldView::Meaning), QStringLiteral("campo incompleto (0 caratteri)"));
        QCOMPARE(cell(malformed.fields(), 37, FieldView::Value), QString());

        FieldView empty(QString(), 3);
        QVERIFY(!empty.warning()->text().isEmpty());
    }

    // Hand-worked from tests/data/basic/expected/wide-range.out: 56 records;
    // GALLI appears twice (list rows 14 and 40, 3 nights each) as the same
    // person, so 55 guests; 191 nights, 54 of them by the 17 March departures.
    void totalsOfTheSelectedAndOfAllLines()
    {
        const QStringList lines = wideRange();
        QVector<int> selected;
        for (int i = 0; i < lines.size(); ++i) {
            if (i != 14 && i != 40)
                selected.append(i);
        }
        ui::TotalsView view(lines, selected);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTableWidget* t = view.totals();
        QCOMPARE(t->rowCount(), 1 + 13);  // the total, then 13 months of departure
        QCOMPARE(QStringList({cell(t, 0, 0), cell(t, 0, 1), cell(t, 0, 2), cell(t, 0, 3), cell(t, 0, 4), cell(t, 0, 5),
                              cell(t, 0, 6)}),
                 QStringList({"Totale", "54", "54", "185", "56", "55", "191"}));
        int march = -1;
        for (int r = 1; r < t->rowCount(); ++r) {
            if (cell(t, r, 0) == QStringLiteral("Partenze 03/2024"))
                march = r;
        }
        QVERIFY(march > 0);
        QCOMPARE(QStringList({cell(t, march, 1), cell(t, march, 2), cell(t, march, 3), cell(t, march, 4),
                              cell(t, march, 5), cell(t, march, 6)}),
                 QStringList({"15", "15", "48", "17", "16", "54"}));
        QCOMPARE(cell(t, 1, 0), QStringLiteral("Partenze 01/2000"));  // months in order
        QCOMPARE(view.unreadableNote()->text(), QStringLiteral("Tutte le righe si leggono come record."));
        QVERIFY(!view.unreadableList()->isVisible());
    }

    void unreadableLinesAreCountedApartAndNamed()
    {
        QStringList lines = wideRange().mid(0, 4);
        lines.append(lines.at(1).left(600));          // row 5, not selected
        lines.append(QStringLiteral("nota a mano"));  // row 6, selected
        ui::TotalsView view(lines, {0, 1, 2, 5});
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(cell(view.totals(), 0, 1), QStringLiteral("2"));
        QCOMPARE(cell(view.totals(), 0, 4), QStringLiteral("3"));
        QVERIFY(view.unreadableNote()->text().contains(QStringLiteral(": 2 (tra le selezionate: 1)")));
        QCOMPARE(view.unreadableList()->toPlainText(),
                 QStringLiteral("riga 5: 600 caratteri invece di 776\nriga 6: 11 caratteri invece di 776"));
    }
};

QTEST_MAIN(TestReviewWindows)
#include "test_review_windows.moc"
