// SPDX-License-Identifier: GPL-3.0-or-later
// What tells a file apart from its changed self without reading it.
// Engine internals.
#pragma once

#include <QString>

#include "platform/Platform.h"

namespace ostelvia::db::detail {

struct FileSignature : platform::FileSignature {
    bool operator==(const FileSignature&) const = default;
};

// Fills the signature of the file at the path (a link followed); on failure
// returns why.
platform::SystemError statSignature(const QString& path, FileSignature* signature);

}  // namespace ostelvia::db::detail
