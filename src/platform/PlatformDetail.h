// SPDX-License-Identifier: GPL-3.0-or-later
// What the shared part of the system interface asks of each implementation.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace ostelvia::platform::detail {

// The system's own words for an error number it reported.
QString systemMessage(long code);

// Closes what a ReadFile opened.
void closeReadHandle(std::intptr_t handle);

// UTF-8 bytes for a terminal with every control character but LF a blank:
// the C0 bytes, DEL, and the C1 characters (U+0080 to U+009F), which some
// terminals take as the start of a command.
QByteArray blankedForTerminal(QByteArray utf8);

}  // namespace ostelvia::platform::detail
