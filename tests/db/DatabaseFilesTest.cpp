// SPDX-License-Identifier: GPL-3.0-or-later
// Opening files: name resolution, one view of the files per run, taken again
// when they change, and every failure reported as a DbError that names the
// file.
#include "TestSupport.h"

#include "db/Database.h"
#include "db/Run.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

namespace db = ostelvia::db;
using db::Database;
using db::DbError;
using db::Recordset;
using ostelvia::test::ScratchDir;

namespace {

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DbError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

// Overwrites Comuni.mdb in place with CodiciVari.mdb's bytes and moves its
// modification time on, as a later save would.
void overwriteComuni(const ScratchDir& scratch)
{
    const QString path = scratch.filePath(QStringLiteral("Comuni.mdb"));
    ostelvia::test::writeBytes(path, ostelvia::test::readBytes(scratch.filePath(QStringLiteral("CodiciVari.mdb"))));
    ASSERT_TRUE(ostelvia::test::moveModifiedTimeOn(path, 10));
}

// A fresh handle's answer for one row or criteria of Comuni.mdb's CodiciVari.
QString codiciVari(const QString& criteria, const QString& field = QStringLiteral("CodicePS"))
{
    Database db = Database::open(QStringLiteral("Comuni.mdb"));
    Recordset rs = db.openRecordset(QStringLiteral("CodiciVari"));
    rs.findFirst(criteria);
    return rs.noMatch() ? QStringLiteral("no match") : rs.text(field);
}

}  // namespace

TEST(DatabaseFiles, NamesResolveWithoutRegardToLetterCase)
{
    ScratchDir scratch;
    // Any spelling finds the name as it is on disk.
    for (const auto& [asked, found] : {std::pair{"SCHEDA_CLIENTE.MDB", "Scheda_Cliente.mdb"},
                                       {"comuni.mdb", "Comuni.mdb"},
                                       {"Nuovo.txt", "Nuovo.txt"}})
        EXPECT_EQ(db::resolveFileName(QString::fromLatin1(asked)), QString::fromLatin1(found)) << asked;
    if (!ostelvia::platform::kNamesIgnoreLetterCase) {
        // An exact name wins over another spelling of it.
        ostelvia::test::writeBytes(scratch.filePath(QStringLiteral("passa.txt")), "x");
        ostelvia::test::writeBytes(scratch.filePath(QStringLiteral("Passa.txt")), "y");
        EXPECT_EQ(db::resolveFileName(QStringLiteral("passa.txt")), QStringLiteral("passa.txt"));
        EXPECT_EQ(db::resolveFileName(QStringLiteral("Passa.txt")), QStringLiteral("Passa.txt"));
    }

    Database db = Database::open(QStringLiteral("SCHEDA_CLIENTE.MDB"));
    EXPECT_EQ(db.fileName(), QStringLiteral("SCHEDA_CLIENTE.MDB"));
    Recordset rs = db.openRecordset(QStringLiteral("scheda_cliente"));
    rs.findFirst(QStringLiteral("NumeroProgressivo = 1201"));
    EXPECT_EQ(rs.text(QStringLiteral("NomeCliente")), QStringLiteral("ROSSI MARIO"));
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(DatabaseFiles, ARunReadsOneVersionOfItsFilesAndKnowsWhenTheyChanged)
{
    ScratchDir scratch;
    const db::LookUpQuestion byName{QStringLiteral("Comuni.mdb"), QStringLiteral("CodiciVari"),
                                    QLatin1String("Descrizione = '"), QStringLiteral("CodicePS")};
    db::Run run;
    Recordset old = run.open(QStringLiteral("COMUNI.MDB")).openRecordset(QStringLiteral("CodiciVari"));
    old.findFirst(QStringLiteral("Tipo = 2"));  // Tipo only is copied so far
    EXPECT_EQ(old.text(QStringLiteral("Descrizione")), QStringLiteral("ROMA"));
    EXPECT_FALSE(run.lookUp(byName, QStringLiteral("MACONDO")));
    EXPECT_NO_THROW(run.confirmView());

    overwriteComuni(scratch);
    // Inside the run, every open and every set reads what the run first read.
    EXPECT_FALSE(run.lookUp(byName, QStringLiteral("MACONDO")));
    Recordset later = run.open(QStringLiteral("Comuni.mdb")).openRecordset(QStringLiteral("CodiciVari"));
    later.findFirst(QStringLiteral("Tipo = 3 and Sigla = 'AQ'"));
    ASSERT_FALSE(later.noMatch());
    EXPECT_EQ(later.text(QStringLiteral("CodicePS")), QStringLiteral("413066049"));
    EXPECT_EQ(
        errorOf([&] { run.confirmView(); }),
        QStringLiteral("Il database \"COMUNI.MDB\" è cambiato durante la lettura: riprovare tra qualche secondo."));

    // The next run, and any handle opened outside a run, reads the new file.
    db::Run next;
    EXPECT_EQ(next.lookUp(byName, QStringLiteral("MACONDO"))->toText(), QStringLiteral("499000001"));
    EXPECT_EQ(codiciVari(QStringLiteral("Descrizione = 'CESENA '")), QStringLiteral("no match"));
    EXPECT_NO_THROW(next.confirmView());
}

// A command reads its files at its start and works on those copies to its
// end: a save while they are read takes the view again, a save afterwards
// cannot reach the work, and the work never runs twice.
TEST(DatabaseFiles, AViewIsTakenInOneGoBeforeTheWork)
{
    ScratchDir scratch;
    const QStringList viewed = {QStringLiteral("Comuni.mdb"), QStringLiteral("NumeriCamere.mdb")};
    int saves = 0;
    int savesDuringReading = 2;
    int readings = 0;
    db::testing::setAfterFileRead([&](const QString& fileName) {
        if (fileName != QLatin1String("NumeriCamere.mdb"))
            return;
        ++readings;
        if (saves < savesDuringReading) {
            ++saves;
            overwriteComuni(scratch);
        }
    });
    int works = 0;
    bool saveAfterView = false;
    const auto macondo = [&](db::Run& run) {
        ++works;
        if (saveAfterView)
            overwriteComuni(scratch);
        const std::optional<db::Value> code =
            run.open(QStringLiteral("comuni.mdb"))
                .lookUp(QStringLiteral("CodiciVari"), QStringLiteral("Descrizione = 'MACONDO'"),
                        QStringLiteral("CodicePS"));
        return code ? code->toText() : QStringLiteral("no match");
    };

    // Saved twice while the view is read: read three times, worked once, on
    // the file as the last save left it (CodiciVari.mdb's bytes).
    EXPECT_EQ(db::withSteadyView(viewed, macondo), QStringLiteral("499000001"));
    EXPECT_EQ(readings, 3);
    EXPECT_EQ(works, 1);

    // Saved after the view is taken: the work goes on with what it read.
    scratch.replaceDatabase(QStringLiteral("basic/Comuni.mdb"));
    saves = savesDuringReading = readings = works = 0;
    saveAfterView = true;
    EXPECT_EQ(db::withSteadyView(viewed, macondo), QStringLiteral("no match"));
    EXPECT_EQ(readings, 1);
    EXPECT_EQ(works, 1);
    saveAfterView = false;

    // A file that never settles: the message names it, and no work runs.
    saves = readings = works = 0;
    savesDuringReading = 1000;
    EXPECT_EQ(errorOf([&] { db::withSteadyView(viewed, macondo); }),
              QStringLiteral("Il file \"Comuni.mdb\" continua a cambiare: il programma di ricevimento lo sta "
                             "salvando. Riprovare tra qualche secondo."));
    EXPECT_EQ(readings, 6);
    EXPECT_EQ(works, 0);
    db::testing::setAfterFileRead({});

    // A file of the view that cannot be opened fails where the work opens
    // it, as without a view, and only then.
    scratch.replaceDatabase(QStringLiteral("basic/Comuni.mdb"));
    const QStringList withMissing = {QStringLiteral("Assente.mdb"), QStringLiteral("Comuni.mdb")};
    EXPECT_EQ(db::withSteadyView(withMissing, macondo), QStringLiteral("no match"));
    EXPECT_EQ(errorOf([&] {
                  db::withSteadyView(withMissing, [](db::Run& run) { run.open(QStringLiteral("Assente.mdb")); });
              }),
              QStringLiteral("Impossibile aprire il database \"Assente.mdb\": il file non esiste."));
}

TEST(DatabaseFiles, MissingFileTableAndFieldAreNamed)
{
    ScratchDir scratch;
    scratch.replaceDatabase(QStringLiteral("broken/missing-table/Comuni.mdb"));
    scratch.replaceDatabase(QStringLiteral("broken/missing-column/Scheda_Cliente.mdb"));
    scratch.replaceDatabase(QStringLiteral("broken/missing-history-table/SchedaStoricoClienti.mdb"));
    scratch.replaceDatabase(QStringLiteral("broken/missing-reference-table/PSWebAll.mdb"));
    Database codes = Database::open(QStringLiteral("CodiciVari.mdb"));
    Recordset codici = codes.openRecordset(QStringLiteral("CodiciVari"));
    codici.findFirst(QStringLiteral("Tipo = 5"));
    Database ps = Database::open(QStringLiteral("PSWebAll.mdb"));
    EXPECT_NO_THROW(ps.openRecordset(QStringLiteral("Stati")));
    // The card is found on the fields that remain; reading the missing one fails.
    Database cards = Database::open(QStringLiteral("Scheda_Cliente.mdb"));
    Recordset card = cards.openRecordset(QStringLiteral(
        "Select * From Scheda_Cliente Where NumeroHotel = 1 and NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ' "
        "Order by NumeroCamera,NumeroProgressivo;"));
    card.findFirst(QStringLiteral("NumeroHotel = 1 and DataPartenzaReale = '20240304' and Instr(Lingua,'*')=0"));
    ASSERT_FALSE(card.noMatch());
    EXPECT_EQ(card.text(QStringLiteral("NumeroProgressivo")), QStringLiteral("1201"));

    const auto noTable = [](const char* file, const char* table) {
        return QStringLiteral("Nel database \"%1\" manca la tabella \"%2\".")
            .arg(QLatin1String(file), QLatin1String(table));
    };
    const auto noField = [](const char* file, const char* field, const char* table) {
        return QStringLiteral("Nel database \"%1\" manca il campo \"%2\" (tabella \"%3\").")
            .arg(QLatin1String(file), QLatin1String(field), QLatin1String(table));
    };
    static const QString kHistoryRooms =
        QStringLiteral("Select * From Scheda_Cliente Where NumeroCamera >= '' Order by NumeroProgressivo;");
    const std::pair<std::function<void()>, QString> rows[] = {
        {[] { Database::open(QStringLiteral("Assente.mdb")); },
         QStringLiteral("Impossibile aprire il database \"Assente.mdb\": il file non esiste.")},
        {[&] { codes.openRecordset(QStringLiteral("Stati")); }, noTable("CodiciVari.mdb", "Stati")},
        {[&] { codes.openRecordset(QStringLiteral("Select * From Stati Where ID > 0")); },
         noTable("CodiciVari.mdb", "Stati")},
        {[&] { codici.field(QStringLiteral("Provincia")); }, noField("CodiciVari.mdb", "Provincia", "CodiciVari")},
        {[&] { codici.findFirst(QStringLiteral("Provincia = 'RM'")); },
         noField("CodiciVari.mdb", "Provincia", "CodiciVari")},
        {[] { Database::open(QStringLiteral("Comuni.mdb")).openRecordset(QStringLiteral("CodiciVari")); },
         noTable("Comuni.mdb", "CodiciVari")},
        {[] { Database::open(QStringLiteral("SchedaStoricoClienti.mdb")).openRecordset(kHistoryRooms); },
         noTable("SchedaStoricoClienti.mdb", "Scheda_Cliente")},
        {[&] { ps.openRecordset(QStringLiteral("Comuni")); }, noTable("PSWebAll.mdb", "Comuni")},
        {[&] { card.text(QStringLiteral("NomeCliente")); },
         noField("Scheda_Cliente.mdb", "NomeCliente", "Scheda_Cliente")},
    };
    for (const auto& [action, message] : rows)
        EXPECT_EQ(errorOf(action), message);

    // The rest of a file with a table missing still reads.
    Database renamed = Database::open(QStringLiteral("Comuni.mdb"));
    Recordset rest = renamed.openRecordset(QStringLiteral("Codici"));
    rest.findFirst(QStringLiteral("Tipo = 0 and Sigla = 'I'"));
    EXPECT_EQ(rest.text(QStringLiteral("CodicePS")), QStringLiteral("100000100"));
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(DatabaseFiles, DamagedFilesAreRefusedBeforeReading)
{
    ScratchDir scratch;
    const QByteArray good = ostelvia::test::readBytes(scratch.filePath(QStringLiteral("Comuni.mdb")));
    ASSERT_GT(good.size(), 3 * 4096);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    QByteArray badHeader = good;
    badHeader.replace(4, 8, "Corrupt!");
    const Case cases[] = {
        {"Testo.mdb", QByteArray("Questo non è un database.\r\n"), "il file non è un database Access valido"},
        {"Vuoto.mdb", QByteArray(), "il file non è un database Access valido"},
        {"Intestazione.mdb", badHeader, "il file non è un database Access valido"},
        {"Troncato.mdb", good.left(5000), "il file è danneggiato o troncato"},
        {"UnaPagina.mdb", good.left(4096), "il file è danneggiato o troncato"},
    };
    for (const Case& c : cases) {
        ostelvia::test::writeBytes(scratch.filePath(QString::fromLatin1(c.name)), c.bytes);
        EXPECT_EQ(errorOf([&] { Database::open(QString::fromLatin1(c.name)); }),
                  QStringLiteral("Impossibile aprire il database \"%1\": %2.")
                      .arg(QString::fromLatin1(c.name), QString::fromUtf8(c.reason)));
        EXPECT_EQ(ostelvia::test::readBytes(scratch.filePath(QString::fromLatin1(c.name))), c.bytes) << c.name;
    }
    // A folder is not a database either.
    ASSERT_TRUE(QDir(scratch.path()).mkdir(QStringLiteral("Cartella.mdb")));
    EXPECT_EQ(errorOf([] { Database::open(QStringLiteral("Cartella.mdb")); }),
              QStringLiteral("Impossibile aprire il database \"Cartella.mdb\": è una cartella, non un file."));
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(DatabaseFiles, RejectedSqlAndCriteriaNameTheFile)
{
    ScratchDir scratch;
    Database db = Database::open(QStringLiteral("Comuni.mdb"));
    const QString sqlPrefix = QStringLiteral("Il database \"Comuni.mdb\" ha rifiutato l'istruzione SQL: ");
    for (const char* sql : {"Delete From CodiciVari", "Select Sigla From CodiciVari",
                            "Select * From CodiciVari; Delete From CodiciVari", "Select * From CodiciVari Where",
                            "Select * From CodiciVari Where Tipo = ?", "Select * From CodiciVari Group by Tipo",
                            "Select * From CodiciVari Where Tipo = = 0", "Select * From CodiciVari Where Sigla = 'I"}) {
        const QString message = errorOf([&] { db.openRecordset(QString::fromLatin1(sql)); });
        EXPECT_TRUE(message.startsWith(sqlPrefix + QString::fromLatin1(sql))) << qPrintable(message);
    }
    Recordset rs = db.openRecordset(QStringLiteral("CodiciVari"));
    const QString criteriaPrefix = QStringLiteral("Il database \"Comuni.mdb\" ha rifiutato il criterio: ");
    for (const char* criteria : {"Tipo = 0) or (1=1", "Sigla = 'L'AQUILA'", "Tipo = :x", "Sconosciuta(Tipo) = 1", "",
                                 "Tipo = 0; Drop Table CodiciVari", "Tipo In (Select Tipo From CodiciVari)"}) {
        const QString message = errorOf([&] { rs.findFirst(QString::fromLatin1(criteria)); });
        EXPECT_TRUE(message.startsWith(criteriaPrefix + QString::fromLatin1(criteria))) << qPrintable(message);
    }
    // The set still works after a rejected criteria.
    rs.findFirst(QStringLiteral("Tipo = 4"));
    EXPECT_EQ(rs.text(QStringLiteral("Descrizione")), QStringLiteral("GOTHAM"));
    EXPECT_TRUE(scratch.databasesUntouched());
}

TEST(DatabaseFiles, ClosedHandlesAndEmptyObjectsFailCleanly)
{
    ScratchDir scratch;
    Database db = Database::open(QStringLiteral("NumeriCamere.mdb"));
    Recordset rs = db.openRecordset(QStringLiteral("NumeriCamere"));
    // A fresh set stands on its first row.
    EXPECT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.field(QStringLiteral("NumeroHotel")).kind(), db::Value::Kind::Integer);
    rs.findFirst(QStringLiteral("NumeroCamera = 'NESSUNA'"));
    EXPECT_TRUE(rs.noMatch());
    EXPECT_THROW(rs.field(QStringLiteral("NumeroCamera")), DbError);
    db.close();
    EXPECT_FALSE(db.isOpen());
    EXPECT_THROW(rs.findFirst(QStringLiteral("NumeroHotel = 1")), DbError);
    EXPECT_THROW(db.openRecordset(QStringLiteral("NumeriCamere")), DbError);
    // Another handle on the same file is not affected.
    Database other = Database::open(QStringLiteral("NumeriCamere.mdb"));
    Recordset again = other.openRecordset(QStringLiteral("NumeriCamere"));
    again.findFirst(QStringLiteral("NumeroHotel = 1"));
    EXPECT_FALSE(again.noMatch());

    Recordset empty;
    EXPECT_FALSE(empty.isOpen());
    EXPECT_THROW(empty.findFirst(QStringLiteral("NumeroHotel = 1")), DbError);
    EXPECT_THROW(Database().openRecordset(QStringLiteral("NumeriCamere")), DbError);
    EXPECT_TRUE(scratch.databasesUntouched());
}
