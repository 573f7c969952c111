// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/TaxOutput.h"

#include <QSaveFile>

#include <algorithm>

#include "export/TextFiles.h"
#include "text/Blanks.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace ostelvia::exporter {

namespace {

// An empty date is said to be missing, not shown as "//".
QString shownStayDate(const QString& date)
{
    return date.isEmpty() ? QStringLiteral("mancante") : date;
}

QStringList cells(const QString& label, const TaxCounts& counts)
{
    return {label,
            QString::number(counts.stays),
            QString::number(counts.nights),
            QString::number(counts.exemptResidents),
            QString::number(counts.exemptAge),
            QString::number(counts.overLimit),
            QString::number(counts.taxable),
            eurosText(counts.cents)};
}

}  // namespace

std::vector<QStringList> taxRows(const TaxReport& report)
{
    std::vector<QStringList> rows;
    for (const auto& [month, counts] : report.months) {
        rows.push_back(
            cells(QStringLiteral("%1/%2").arg(month % 100, 2, 10, QLatin1Char('0')).arg(month / 100), counts));
    }
    rows.push_back(cells(QStringLiteral("Totale"), report.total));
    return rows;
}

QString uncomputedLine(const UncomputedStay& stay)
{
    return text::blankControls(QStringLiteral("Camera %1, scheda %2: %3 (arrivo %4, partenza %5) in %6")
                                   .arg(stay.room, stay.cardNumber, stay.guestName, shownStayDate(stay.arrival),
                                        shownStayDate(stay.departure), stay.database));
}

QString taxText(const TaxReport& report, const QString& periodo)
{
    QString out = QStringLiteral("Rendiconto dell'imposta di soggiorno\n") + periodo + QLatin1Char('\n');
    for (const QString& line : describeTaxRules(report.rules))
        out += line + QLatin1Char('\n');
    out += QLatin1Char('\n');

    std::vector<QStringList> rows = taxRows(report);
    rows.insert(rows.begin(), kTaxColumns);
    std::vector<qsizetype> widths(static_cast<size_t>(kTaxColumns.size()), 0);
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[static_cast<size_t>(i)] = std::max(widths[static_cast<size_t>(i)], row.at(i).size());
    }
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            const auto width = static_cast<int>(widths[static_cast<size_t>(i)]);
            line += i == 0 ? row.at(i).leftJustified(width) : QStringLiteral("  ") + row.at(i).rightJustified(width);
        }
        out += line + QLatin1Char('\n');
    }

    if (!report.uncomputed.empty()) {
        out += QStringLiteral("\nSoggiorni non calcolabili (date mancanti o errate), non contati: %1\n")
                   .arg(report.uncomputed.size());
        for (const UncomputedStay& stay : report.uncomputed)
            out += uncomputedLine(stay) + QLatin1Char('\n');
    }
    return out;
}

QString csvCell(const QString& value)
{
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QByteArray taxCsv(const TaxReport& report)
{
    QString csv;
    auto append = [&csv](const QStringList& row) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                csv += QLatin1Char(';');
            csv += csvCell(row.at(i));
        }
        csv += kCrLf;
    };
    append(kTaxColumns);
    for (const QStringList& row : taxRows(report))
        append(row);
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

void writePrivateFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(localPath(path));
    bool written = file.open(QIODevice::WriteOnly);
#ifdef Q_OS_UNIX
    // The file beside the path becomes the file: it is made private before a
    // byte goes in, whatever the mode of a file it replaces.
    written = written && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) == 0;
#endif
    written = written && file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        throw FileError(QStringLiteral("Impossibile scrivere il file \"%1\": %2.").arg(path, file.errorString()));
    }
}

void writeTaxCsv(const QString& path, const TaxReport& report)
{
    writePrivateFile(path, taxCsv(report));
}

}  // namespace ostelvia::exporter
