// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/CardSelection.h"

#include "checks/CardValidation.h"
#include "db/Run.h"

namespace ostelvia::exporter {

namespace {

// dd/mm/yyyy to yyyymmdd by character position, without any check.
QString typedToStored(const QString& date)
{
    return date.mid(6, 4) + date.mid(3, 2) + date.mid(0, 2);
}

QString selectionCriteria(const QString& dataDa, const QString& dataA)
{
    return QStringLiteral("NumeroHotel = 1 and DataPartenzaReale >= '") + db::escapeQuotes(dataDa)
        + QStringLiteral("' and DataPartenzaReale <= '") + db::escapeQuotes(dataA)
        + QStringLiteral("' and Instr(Lingua,'*')=0");
}

QString roomCondition(const RoomSource& camere)
{
    return QStringLiteral("NumeroCamera >= '") + db::escapeQuotes(camere.firstRoom())
        + QStringLiteral("' and NumeroCamera <= '") + db::escapeQuotes(camere.lastRoom()) + QLatin1Char('\'');
}

QString currentGuestsSql(const QString& criteria, const RoomSource& camere)
{
    return QStringLiteral("Select * From Scheda_Cliente Where ") + criteria + QStringLiteral(" and ")
        + roomCondition(camere) + QStringLiteral(" Order by NumeroCamera,NumeroProgressivo;");
}

// The history's hotel, date and Lingua conditions are left to the criteria.
QString historySql(const RoomSource& camere)
{
    return QStringLiteral("Select * From Scheda_Cliente Where ") + roomCondition(camere)
        + QStringLiteral(" Order by NumeroProgressivo;");
}

void walkPass(db::Run& run, const QString& database, const QString& sql, const QString& criteria,
              const CardVisitor& visit)
{
    db::Database guests = run.open(database);
    db::Recordset schede = guests.openRecordset(sql);
    for (schede.findFirst(criteria); !schede.noMatch(); schede.findNext(criteria))
        visit(database, schede);
    guests.close();
}

}  // namespace

void walkSelectedCards(db::Run& run, const QString& dataDa, const QString& dataA, const RoomSource& camere,
                       const CardVisitor& visit)
{
    const QString criteria = selectionCriteria(typedToStored(dataDa), typedToStored(dataA));
    // Each SQL text is built when its pass starts, so the rooms are read afresh.
    walkPass(run, kSchedeCorrenti, currentGuestsSql(criteria, camere), criteria, visit);
    walkPass(run, kSchedeStorico, historySql(camere), criteria, visit);
}

bool isExported(const db::Recordset& scheda)
{
    const db::Value arrival = scheda.field(QStringLiteral("DataArrivo"));
    const db::Value departure = scheda.field(QStringLiteral("DataPartenzaReale"));
    if (arrival.isNull() || departure.isNull())
        return false;
    return !scheda.text(QStringLiteral("Lingua")).contains(QLatin1Char('*')) && departure.toText() != arrival.toText();
}

QString shownCardDate(const db::Recordset& scheda, const QString& field)
{
    const db::Value stored = scheda.field(field);
    return stored.isNull() ? QString() : checks::storedToTyped(stored.toText());
}

}  // namespace ostelvia::exporter
