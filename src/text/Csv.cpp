// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Csv.h"

#include "text/Blanks.h"

namespace ostelvia::text {

QString neutralCsvText(const QString& value)
{
    // Guests' names and addresses come from the front-office program as
    // typed: "=HYPERLINK(...)" in a name must not run in the clerk's sheet.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStarts.contains(value.front()))
        return blankControls(QLatin1Char('\'') + value);
    return blankControls(value);
}

void appendCsvRow(QString& csv, const QStringList& cells, QChar separator)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            csv.append(separator);
        csv.append(QLatin1Char('"'));
        csv.append(neutralCsvText(cells.at(i)).replace(QLatin1Char('"'), QLatin1String("\"\"")));
        csv.append(QLatin1Char('"'));
    }
    csv.append(QLatin1String("\r\n"));
}

QByteArray csvFile(const QStringList& header, const std::vector<QStringList>& rows)
{
    QString csv;
    appendCsvRow(csv, header);
    for (const QStringList& row : rows)
        appendCsvRow(csv, row);
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

}  // namespace ostelvia::text
