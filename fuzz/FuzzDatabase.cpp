// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: a database file as the tool finds it in the front-office
// directory, opened and queried the way the export run and the code list do.
// Any outcome but a DbError (a crash, a sanitizer report, a hang) is a fault.
#include "db/Database.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using namespace ostelvia;

namespace {

const QString kFile = QStringLiteral("Fuzz.mdb");

struct Query {
    const char* sql;
    const char* criteria;
    const char* fields[4];
};

// The shapes of the tool's own queries, over every table it reads.
const Query kQueries[] = {
    {"Select * From Scheda_Cliente Where NumeroHotel = 1 and DataPartenzaReale >= '20000101' and "
     "DataPartenzaReale <= '20241231' and Instr(Lingua,'*')=0 and NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ' "
     "Order by NumeroCamera,NumeroProgressivo;",
     "NumeroHotel = 1 and DataPartenzaReale >= '20000101'",
     {"NomeCliente", "DataArrivo", "Note", "NumeroProgressivo"}},
    {"Scheda_Cliente", "NumeroCamera >= '' and NumeroCamera <= 'ZZZZZZ'", {"Lingua", "Sesso", "CodIDS", "DataNascita"}},
    {"Select * From CodiciVari Where NumeroHotel = 1 and (Tipo = 0 or Tipo = 2 or Tipo = 3)",
     "Descrizione = 'L''AQUILA'",
     {"CodicePS", "Descrizione", "Tipo", "ID"}},
    {"CodiciVari", "Trim(Descrizione) = 'ROMA' and Tipo = 2", {"CodicePS", "Descrizione", nullptr, nullptr}},
    {"NumeriCamere", "Piano > 0", {"NumeroCamera", "Posti", nullptr, nullptr}},
    {"Stati", "ID > 0", {"Descrizione", "Codice", nullptr, nullptr}},
    {"Comuni", "ID > 0", {"Descrizione", "Provincia", "Sigla", nullptr}},
};

void query(db::Database& database, const Query& q)
{
    try {
        db::Recordset rs = database.openRecordset(QString::fromUtf8(q.sql));
        const QString criteria = QString::fromUtf8(q.criteria);
        int visited = 0;
        for (rs.findFirst(criteria); !rs.noMatch() && visited < 64; rs.findNext(criteria), ++visited) {
            for (const char* field : q.fields) {
                if (!field)
                    continue;
                try {
                    (void)rs.text(QString::fromUtf8(field));
                } catch (const db::DbError&) { }
            }
        }
    } catch (const db::DbError&) { }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A private working directory, as the tool works in the front office's.
    char pattern[] = "/tmp/ostelvia-fuzz-XXXXXX";
    if (!mkdtemp(pattern))
        std::abort();
    QDir::setCurrent(QString::fromLocal8Bit(pattern));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(kFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    try {
        db::Database database = db::Database::open(kFile);
        for (const Query& q : kQueries)
            query(database, q);
        database.close();
    } catch (const db::DbError&) { }
    return 0;
}
