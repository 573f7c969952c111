// SPDX-License-Identifier: GPL-3.0-or-later
// The busy cursor while the window works (an export run, the code list, a
// check), restored however the work ends, exceptions included; a dialog
// shown meanwhile takes the ordinary arrow for as long as it is open.
#pragma once

#include <QApplication>
#include <QCursor>

namespace ostelvia::ui {

class OverrideCursor {
public:
    explicit OverrideCursor(Qt::CursorShape shape = Qt::WaitCursor) { QApplication::setOverrideCursor(QCursor(shape)); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

}  // namespace ostelvia::ui
