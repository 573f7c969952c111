/* SPDX-License-Identifier: GPL-3.0-or-later */
/* The Windows build has no GLib: libmdb brings the few pieces of it that it
   uses, and the engine includes them under GLib's own name. */
#pragma once
#ifdef __cplusplus
extern "C" {
#endif
#include <mdbfakeglib.h>
#ifdef __cplusplus
}
#endif
