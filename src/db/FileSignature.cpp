// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FileSignature.h"

#include <sys/stat.h>

#include <cerrno>

namespace ostelvia::db::detail {

void signatureOf(const struct stat& st, FileSignature* signature)
{
    signature->device = st.st_dev;
    signature->inode = st.st_ino;
    signature->size = st.st_size;
    signature->modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    signature->changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
}

bool statSignature(const QString& path, FileSignature* signature, int* error)
{
    struct stat st { };
    if (::stat(path.toLocal8Bit().constData(), &st) != 0) {
        *error = errno;
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *error = EISDIR;
        return false;
    }
    signatureOf(st, signature);
    return true;
}

}  // namespace ostelvia::db::detail
