// SPDX-License-Identifier: GPL-3.0-or-later
// The check's report as people and spreadsheets read it: a text with one
// heading per card, its problem lines and suggestions, and the totals; and
// the CSV rows: UTF-8 with a byte-order mark, ";" between fields, every
// field quoted (quotes doubled) and kept plain text (text/Csv.h), CR LF after
// each row, a header row, then one row per problem line.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "export/CardCheck.h"

namespace ostelvia::exporter {

inline const QStringList kCheckColumns = {QStringLiteral("Archivio"),    QStringLiteral("Camera"),
                                          QStringLiteral("Progressivo"), QStringLiteral("Cliente"),
                                          QStringLiteral("Arrivo"),      QStringLiteral("Partenza"),
                                          QStringLiteral("Problema"),    QStringLiteral("Suggerimenti")};

// One line per card: room, card number, name, dates, database.
QString cardHeading(const CheckedCard& card);
// "N schede controllate, M con problemi, K record da esportare", or "Nessuna
// scheda nel periodo" when the selection found none.
QString totalsLine(const CheckTotals& totals);
// Every card with problems: its heading, its problem lines each followed by
// "  forse: ..." where there are suggestions, an empty line; then the totals.
// Control characters of a card read as blanks, so each line stays one line.
QString checkText(const CheckReport& report);

// The cells of every row after the header, one list per problem line, in
// the order of kCheckColumns; suggestions joined by " | ".
std::vector<QStringList> checkRows(const CheckReport& report);

QByteArray checkCsv(const CheckReport& report);

// Writes checkCsv in the path's place, whole or not at all; a new file is
// owner-only, an existing one keeps its mode. FileError on failure.
void writeCheckCsv(const QString& path, const CheckReport& report);

}  // namespace ostelvia::exporter
