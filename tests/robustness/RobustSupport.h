// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the robustness tests: damaged copies of a database file, and the
// export run with a log of how each run ended.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

#include "RunDoubles.h"
#include "TestSupport.h"

namespace ostelvia::test {

inline constexpr int kJetPage = 4096;
inline constexpr unsigned char kDataPage = 0x01;
inline constexpr unsigned char kTableDefinitionPage = 0x02;

// The six databases the tool reads.
const std::vector<QString>& databaseNames();

// The numbers of the pages of a given type (first byte of the page).
std::vector<int> pagesOfType(const QByteArray& file, unsigned char type);

// The data pages of the file's own table: the one whose definition page
// comes last, since the system tables are created first. Found by the owner
// each data page records.
std::vector<int> mainTableDataPages(const QByteArray& file);

// `length` bytes from `offset` inside page `page` set to a pattern that no
// valid structure has (0xA5, 0x5A, ...).
QByteArray overwritten(const QByteArray& file, int page, int offset, int length);

struct Damaged {
    QString what;  // for failure messages
    QByteArray bytes;
    bool alwaysReported = false;  // every run that reads the file must report it
};

// Whole-file damage: empty, plain text, cut at several sizes.
std::vector<Damaged> wholeFileDamage(const QByteArray& file);

// Structural damage a reader can notice: the row table of each data page,
// and the header and column area of each table definition page.
std::vector<Damaged> pageDamage(const QByteArray& file);

// The bytes of a reference answer in tests/data/basic/expected.
QByteArray expectedBytes(const QString& name);

}  // namespace ostelvia::test
