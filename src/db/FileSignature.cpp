// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FileSignature.h"

namespace ostelvia::db::detail {

platform::SystemError statSignature(const QString& path, FileSignature* signature)
{
    return platform::signatureAt(path, signature);
}

}  // namespace ostelvia::db::detail
