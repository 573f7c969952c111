// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ostelvia::text {

// Splits a text at its last and second-to-last blank. Parts: 0 the last word,
// 1 everything before it, 2 the second-to-last word, 3 everything before
// that; each trimmed. Any other part, or an empty text, gives "". A single
// word is part 0, with parts 1 to 3 empty.
QString ParteStringa(const QString& testo, int parte);

}  // namespace ostelvia::text
