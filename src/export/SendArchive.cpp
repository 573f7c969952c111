// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SendArchive.h"

#include "db/Run.h"
#include "export/PresenceRecord.h"
#include "export/PrivateFiles.h"
#include "export/RecordLayout.h"
#include "export/TextFiles.h"
#include "text/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace ostelvia::exporter {

using text::toCp1252;

namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
const QString kCopyExtension = QStringLiteral(".txt");
// The copy being written, before it takes its name.
const QString kCopyInProgress = QStringLiteral("copia-in-corso");
// Guards memory against a foreign giant, far above any real send: the export
// has no line limit, and two busy years of a large hotel are ~70,000 records.
constexpr qint64 kLargestSend = 500000LL * (kRecordLength + 2);
constexpr int kListedAtMost = 20;
constexpr int kSkippedListedAtMost = 10;

// "2024-09-01_08-15-02.txt" or "2024-09-01_08-15-02_2.txt": the time of the send.
QDateTime sendTimeOfName(const QString& name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(_\\d+)?\\.txt$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), kStampFormat);
}

// Fields 1, 2 and 8 of a record, as bytes.
QByteArray stayKeyBytes(QByteArrayView line)
{
    QByteArray key;
    key.reserve(25);
    for (int number : {fieldNo::Componente, fieldNo::Arrivo, fieldNo::Scheda}) {
        const RecordField& f = recordField(number);
        key.append(line.data() + f.start - 1, f.width);
    }
    return key;
}

QString shownSendTime(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

}  // namespace

QString archiveFileName(const QString& folder, const QDateTime& when)
{
    const QString stamp = when.toString(kStampFormat);
    const QDir dir(folder);
    QString name = stamp + kCopyExtension;
    for (int n = 2; dir.exists(name); ++n)
        name = stamp + QStringLiteral("_%1").arg(n) + kCopyExtension;
    return name;
}

QString copyToArchive(const QString& folder, const QString& exportPath, const QDateTime& when)
{
    const auto failed = [&folder](const QString& reason) {
        return FileError(
            QStringLiteral("Impossibile salvare la copia dell'invio nella cartella \"%1\": %2.").arg(folder, reason));
    };
    QFile source(localPath(exportPath));
    openForReading(source, exportPath);

    // The copies hold guests' names and documents: for this account only.
    const QString problem = makePrivateFolder(folder);
    if (!problem.isEmpty())
        throw failed(problem);
    const QString path = QDir(folder).filePath(archiveFileName(folder, when));
    // Written aside and given its name only when whole, never over an
    // archived send: a failure or a kill leaves no half copy to be read as
    // a damaged file later.
    StagedFile copy(QDir(folder).filePath(kCopyInProgress), path, StagedFile::Mode::OwnerOnly);
    copyRest(source, exportPath, copy);
    copy.commitAs(path);
    return path;
}

namespace {

// One archive entry's bytes: a regular file, not reached through a link, no
// larger than any send. Anything else is noted and skipped.
std::optional<QByteArray> readArchiveEntry(const QString& path, const QString& name, QStringList& skipped)
{
    const auto skip = [&](const QString& reason) -> std::optional<QByteArray> {
        skipped.append(QStringLiteral("%1: %2").arg(name, reason));
        return std::nullopt;
    };
    // Without waiting: a FIFO with nobody writing would hold the send.
    const platform::ReadFile file(path, platform::ReadFile::Links::Refuse);
    if (!file.isOpen())
        return skip(QStringLiteral("non si può leggere (%1)").arg(platform::reasonOf(file.openError())));
    platform::FileSignature info;
    if (file.kind() != platform::EntryKind::Regular || file.signature(&info))
        return skip(QStringLiteral("non è un file normale"));
    if (info.size > kLargestSend)
        return skip(QStringLiteral("troppo grande per essere un file di invio"));
    QByteArray bytes(static_cast<qsizetype>(info.size), Qt::Uninitialized);
    platform::SystemError error;
    const std::int64_t done = file.readFromStart(bytes.data(), bytes.size(), &error);
    if (done < 0)
        return skip(QStringLiteral("non si può leggere (%1)").arg(platform::reasonOf(error)));
    // A file that shrank while read keeps what was there.
    bytes.truncate(static_cast<qsizetype>(done));
    return bytes;
}

QStringList entryNames(const QDir& dir)
{
    // Links, devices and FIFOs too, so that they are told, not passed over.
    return dir.entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

SendArchive SendArchive::read(const QString& folder)
{
    SendArchive archive;
    const QDir dir(folder);
    if (!dir.exists())
        return archive;
    // Names sort by time: a later send of a stay replaces an earlier one.
    for (const QString& name : entryNames(dir)) {
        if (dir.filePath(name) == stagingPath(dir.filePath(kCopyInProgress)))
            continue;
        const QDateTime when = sendTimeOfName(name);
        if (!when.isValid()) {
            archive.skipped_.append(
                QStringLiteral("%1: non è una copia di un invio (nome non riconosciuto)").arg(name));
            continue;
        }
        if (std::optional<QByteArray> bytes = readArchiveEntry(dir.filePath(name), name, archive.skipped_))
            archive.addFile(name, when, std::move(*bytes));
    }
    return archive;
}

int removeExpiredCopies(const QString& folder, int months, const QDateTime& now, const QStringList& spared)
{
    if (months <= 0)
        return 0;
    const QDateTime limit = now.addMonths(-months);
    QStringList expired;
    for (const QString& name : entryNames(QDir(folder))) {
        const QDateTime when = sendTimeOfName(name);
        if (when.isValid() && when < limit && !spared.contains(name))
            expired.append(name);
    }
    // Only inside an archive folder of this account's own: a link in its
    // place leads to someone else's files.
    return expired.isEmpty() ? 0 : platform::removeRegularFiles(folder, expired);
}

void SendArchive::addFile(const QString& name, const QDateTime& when, QByteArray bytes)
{
    // Lines end at LF, with the CR before it dropped; the last has no line end.
    std::vector<QByteArrayView> lines;
    lines.reserve(static_cast<size_t>(bytes.size() / (kRecordLength + 2) + 2));
    const QByteArrayView all(bytes);
    qsizetype begin = 0;
    while (begin <= all.size()) {
        qsizetype end = all.indexOf('\n', begin);
        if (end < 0)
            end = all.size();
        QByteArrayView line = all.sliced(begin, end - begin);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.push_back(line);
        begin = end + 1;
    }
    // An empty send (every line deselected) is archived as an empty file.
    if (bytes.isEmpty()) {
        sentAt_.append(when);
        return;
    }
    // A line end after the last line, as a file left by a failed run has.
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.pop_back();
    // A copy without its header line (edited by hand, or cut) still tells
    // which stays went out.
    const QByteArray header = toCp1252(kHeaderLine);
    const size_t first = lines.front() == QByteArrayView(header) ? 1 : 0;
    if (first == 0 && lines.front().size() != kRecordLength) {
        skipped_.append(QStringLiteral("%1: non inizia con la riga di intestazione").arg(name));
        notSends_.append(name);
        return;
    }
    for (size_t i = first; i < lines.size(); ++i) {
        if (lines[i].size() != kRecordLength) {
            skipped_.append(QStringLiteral("%1: la riga %2 non è un record di %3 caratteri")
                                .arg(name)
                                .arg(i + 1)
                                .arg(kRecordLength));
            notSends_.append(name);
            return;
        }
    }
    const int file = static_cast<int>(sentAt_.size());
    sentAt_.append(when);
    data_.push_back(std::move(bytes));
    // The views above point into the buffer of `bytes`, which data_ now owns.
    for (size_t i = first; i < lines.size(); ++i)
        index_.insert(stayKeyBytes(lines[i]), Sent{lines[i], file});
}

const SendArchive::Sent* SendArchive::find(const QByteArray& key) const
{
    const auto it = index_.constFind(key);
    return it == index_.cend() ? nullptr : &it.value();
}

QVector<AlreadySent> findAlreadySent(const SendArchive& archive, const ExportLines& lines, const QVector<int>& rows)
{
    QVector<AlreadySent> found;
    if (archive.records() == 0)
        return found;
    for (int row : rows) {
        const QString line = lines.at(row);
        if (!parseLine(line).isRecord())
            continue;
        const QByteArrayView bytes = lines.bytesAt(row);
        const SendArchive::Sent* sent = archive.find(stayKeyBytes(bytes));
        if (!sent)
            continue;
        found.append(AlreadySent{row, line, archive.sentAt(sent->file), sent->line == bytes});
    }
    return found;
}

QString roomOfRecord(db::Run& run, const QString& line)
{
    const QString arrival = fieldOf(line, fieldNo::Arrivo);
    const double card = fieldOf(line, fieldNo::Scheda).toDouble();
    const double progressive = card - 1000000.0 * arrival.mid(2, 2).toDouble();
    const QString criteria =
        QStringLiteral("NumeroHotel = 1 and NumeroComponente = %1 and NumeroProgressivo = %2 and DataArrivo = '%3'")
            .arg(fieldOf(line, fieldNo::Componente).toLongLong())
            .arg(static_cast<qint64>(progressive))
            .arg(db::escapeQuotes(arrival));
    for (const QString& file : {QStringLiteral("Scheda_Cliente.mdb"), QStringLiteral("SchedaStoricoClienti.mdb")}) {
        try {
            db::Database guests = run.open(file);
            db::Recordset cards = guests.openRecordset(QStringLiteral("Scheda_Cliente"));
            cards.findFirst(criteria);
            const QString room = cards.noMatch() ? QString() : cards.text(QStringLiteral("NumeroCamera"));
            guests.close();
            if (!room.isEmpty())
                return room.trimmed();
        } catch (const db::DbError&) {
            // The room only helps the clerk recognise the guest: go on without it.
        }
    }
    return QStringLiteral("?");
}

QString alreadySentQuestion(const QVector<AlreadySent>& found, const QStringList& skipped,
                            const std::function<QString(const QString&)>& room)
{
    if (found.isEmpty() && skipped.isEmpty())
        return {};
    // The rooms of up to twenty guests: each guest file is read once.
    db::Run run;
    const auto roomOf = [&](const QString& line) { return room ? room(line) : roomOfRecord(run, line); };
    QStringList text;
    if (!found.isEmpty()) {
        text.append(found.size() == 1
                        ? QStringLiteral("Una delle righe selezionate è già stata inviata:")
                        : QStringLiteral("%1 delle righe selezionate sono già state inviate:").arg(found.size()));
        for (qsizetype i = 0; i < found.size() && i < kListedAtMost; ++i) {
            const AlreadySent& sent = found.at(i);
            text.append(QStringLiteral("camera %1, %2, arrivo %3: inviata il %4, %5")
                            .arg(roomOf(sent.line), guestName(sent.line),
                                 shownDate(fieldOf(sent.line, fieldNo::Arrivo)), shownSendTime(sent.earlierSend),
                                 sent.identical ? QStringLiteral("identica")
                                                : QStringLiteral("con dati cambiati (rettifica)")));
        }
        if (found.size() > kListedAtMost)
            text.append(QStringLiteral("... e altre %1.").arg(found.size() - kListedAtMost));
        text.append(QString());
    }
    if (!skipped.isEmpty()) {
        text.append(QStringLiteral("File della cartella \"%1\" non controllati:").arg(kArchiveFolder));
        for (qsizetype i = 0; i < skipped.size() && i < kSkippedListedAtMost; ++i)
            text.append(skipped.at(i));
        if (skipped.size() > kSkippedListedAtMost)
            text.append(QStringLiteral("... e altri %1.").arg(skipped.size() - kSkippedListedAtMost));
        text.append(QString());
    }
    text.append(QStringLiteral("Inviare comunque?"));
    return text.join(kCrLf);
}

}  // namespace ostelvia::exporter
