// SPDX-License-Identifier: GPL-3.0-or-later
// What tells a file apart from its changed self without reading it.
// Engine internals.
#pragma once

#include <QString>

#include <cstdint>

struct stat;

namespace ostelvia::db::detail {

struct FileSignature {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileSignature&) const = default;
};

// Fills the signature; on failure returns false with errno in *error.
bool statSignature(const QString& path, FileSignature* signature, int* error);
void signatureOf(const struct stat& st, FileSignature* signature);

}  // namespace ostelvia::db::detail
