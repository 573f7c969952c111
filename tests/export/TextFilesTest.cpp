// SPDX-License-Identifier: GPL-3.0-or-later
// The export file's writing and its rewrite through "Passa.txt" over files
// larger than one read or write: every byte where it belongs.
#include <gtest/gtest.h>

#include <QFile>

#include <numeric>

#include "export/ExportLines.h"
#include "export/PrivateFiles.h"
#include "export/TextFiles.h"
#include "TestSupport.h"

namespace ostelvia::test {
namespace {

using exporter::LineWriter;
using exporter::RimuoviUltimoACapo;

TEST(TextFiles, ManyLinesAreWrittenWholeAndTheLastLineEndRemoved)
{
    ScratchDir scratch;
    const QString path = scratch.filePath(QStringLiteral("export.txt"));
    QByteArray expected;
    {
        LineWriter writer(path);
        for (int i = 0; i < 3000; ++i) {
            // A euro sign is one Windows-1252 byte; a character outside the
            // BMP is one "?".
            const QString line = QString(770, QChar(u'A' + i % 26)) + QStringLiteral("€%1").arg(i % 10)
                + QString::fromUtf16(u"\U0001F600") + QStringLiteral("è");
            writer.writeLine(line);
            expected += QByteArray(770, static_cast<char>('A' + i % 26)) + "\x80" + QByteArray::number(i % 10) + "?\xE8"
                + "\r\n";
        }
        writer.close();
    }
    ASSERT_EQ(readBytes(path), expected);

    RimuoviUltimoACapo(path);
    expected.chop(2);
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("Passa.txt"))));
}

TEST(TextFiles, LineEndsOfEveryKindEndALineAndBecomeCrLfAlsoAcrossReads)
{
    ScratchDir scratch;
    const QString path = scratch.filePath(QStringLiteral("export.txt"));
    // A CR LF split between two reads (the rewrite reads a quarter of a
    // megabyte, and once read a megabyte, at a time), then lone LFs and CRs.
    QByteArray bytes(256 * 1024 - 1, 'x');
    bytes += "\r\n";
    bytes += QByteArray(1024 * 1024 - bytes.size() - 1, 'y') + "\r\nuno\ndue\rtre\r\n\r\nquattro";
    writeBytes(path, bytes);

    const QStringList lines = exporter::readLines(path);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.at(0), QString(256 * 1024 - 1, QLatin1Char('x')));
    EXPECT_EQ(lines.at(1).size(), 1024 * 1024 - (256 * 1024 + 1) - 1);
    EXPECT_EQ(lines.mid(2), (QStringList{"uno", "due", "tre", "", "quattro"}));

    RimuoviUltimoACapo(path);

    const QByteArray expected = QByteArray(256 * 1024 - 1, 'x') + "\r\n"
        + QByteArray(1024 * 1024 - (256 * 1024 + 1) - 1, 'y') + "\r\nuno\r\ndue\r\ntre\r\n\r\nquattro";
    EXPECT_EQ(readBytes(path), expected);
}

TEST(TextFiles, AnAbandonedWriterLeavesTheFileAsItWasAndNothingAside)
{
    ScratchDir scratch;
    const QString path = scratch.filePath(QStringLiteral("export.txt"));
    writeBytes(path, "previous send");
    {
        LineWriter writer(path);
        writer.writeLine(QStringLiteral("prima"));
        writer.writeLine(QString(300000, QLatin1Char('x')));  // past one buffer
    }  // left without close(), as when a run is torn down by an unexpected error
    EXPECT_EQ(readBytes(path), QByteArray("previous send"));
    EXPECT_FALSE(QFile::exists(exporter::stagingPath(path)));
}

TEST(TextFiles, ExportLinesHoldTheBytesAndShowTheText)
{
    // The list shows a line decoded and sends it as the file held it.
    const QStringList texts{QStringLiteral("CANTÙ €"), QString(), QStringLiteral("FORLÌ")};
    const exporter::ExportLines lines = exporter::ExportLines::fromTexts(texts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.texts(), texts);
    EXPECT_EQ(lines.bytesAt(0), QByteArrayView("CANT\xD9 \x80"));
    EXPECT_TRUE(lines.bytesAt(1).isEmpty());
    EXPECT_TRUE(exporter::ExportLines::fromTexts({}).isEmpty());
}

// The selected lines go out each with CR LF whatever end the file gave
// them, in the order asked; runs of neighbours are written in one piece.
TEST(TextFiles, SelectedLinesAreWrittenWithCrLfInTheirOrder)
{
    ScratchDir scratch;
    const QString source = scratch.filePath(QStringLiteral("letto.txt"));
    QByteArray bytes = "a\r\nb\nc\rd\r\ne";
    QByteArray allWithCrLf = "a\r\nb\r\nc\r\nd\r\ne\r\n";
    const QByteArray record(776, 'X');
    for (int i = 0; i < 1000; ++i) {  // a run longer than the writer's buffer
        bytes += "\r\n" + record;
        allWithCrLf += record + "\r\n";
    }
    writeBytes(source, bytes);
    const exporter::ExportLines lines = exporter::ExportLines::read(source);
    ASSERT_EQ(lines.size(), 1005);

    const auto written = [&](const QVector<int>& rows) {
        const QString path = scratch.filePath(QStringLiteral("scritto.txt"));
        exporter::LineWriter file(path);
        lines.writeTo(file, rows);
        file.close();
        return readBytes(path);
    };
    QVector<int> every(1005);
    std::iota(every.begin(), every.end(), 0);
    EXPECT_EQ(written(every), allWithCrLf);
    EXPECT_EQ(written({1, 3, 4, 5}), "b\r\nd\r\ne\r\n" + record + "\r\n");
    EXPECT_EQ(written({3, 2, 0}), QByteArray("d\r\nc\r\na\r\n"));
    EXPECT_EQ(written({}), QByteArray());
}

}  // namespace
}  // namespace ostelvia::test
