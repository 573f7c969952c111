// SPDX-License-Identifier: GPL-3.0-or-later
// What the shared part of the system interface asks of each implementation.
#pragma once

#include <QString>

namespace ostelvia::platform::detail {

// The system's own words for an error number it reported.
QString systemMessage(long code);

}  // namespace ostelvia::platform::detail
