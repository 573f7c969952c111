// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
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
    // Each text's code points folded as the engine compares texts, their
    // bytes as the key.
    QSet<QByteArray> keys_;
};

}  // namespace ostelvia::db
