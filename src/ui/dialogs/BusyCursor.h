// The busy cursor while the window works (an export run, the code list, a
// check), restored however the work ends, exceptions included; a dialog
// shown meanwhile takes the ordinary arrow for as long as it is open.
#pragma once

#include <QApplication>
#include <QCursor>

namespace ostelvia::ui {

class CursoreTemporaneo {
public:
    explicit CursoreTemporaneo(Qt::CursorShape forma = Qt::WaitCursor)
    {
        QApplication::setOverrideCursor(QCursor(forma));
    }
    ~CursoreTemporaneo() { QApplication::restoreOverrideCursor(); }
    CursoreTemporaneo(const CursoreTemporaneo&) = delete;
    CursoreTemporaneo& operator=(const CursoreTemporaneo&) = delete;
};

}  // namespace ostelvia::ui
