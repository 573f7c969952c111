// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252, the single-byte code page of every text file the tool reads
// and writes. A character with no Windows-1252 form is written as "?", so a
// text keeps one byte per character.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ostelvia::text {

QByteArray toCp1252(const QString& text);
// The same bytes, added at the end of `out`.
void appendCp1252(QByteArray& out, const QString& text);
QString fromCp1252(QByteArrayView bytes);
// A settings file of the tool's: Windows-1252, or UTF-8 when an editor saved
// it so with its byte-order mark, which is no part of the text.
QString fromCp1252OrMarkedUtf8(QByteArrayView bytes);

}  // namespace ostelvia::text
