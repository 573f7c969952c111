// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's process arranges before it shows anything.
#pragma once

namespace ostelvia::ui {

// A file-size limit (ulimit -f) fails a write with a message, as a full disk
// does, instead of ending the window without a word; and the folder of the
// user's settings is there, owner-only, before the toolkit's own dialogs
// create it with the umask's mode.
void prepareWindowProcess();

}  // namespace ostelvia::ui
