// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>

namespace ostelvia::db {

// Texts compared as SQL texts and criteria compare them: letter case
// ignored, nothing else (blanks and accents count). Answers many
// "Field = 'text'" questions about one set of values after one pass over it.
class TextSet {
public:
    void insert(const QString& text);
    bool contains(const QString& text) const;

private:
    QSet<QString> keys_;  // folded as the engine compares texts
};

}  // namespace ostelvia::db
