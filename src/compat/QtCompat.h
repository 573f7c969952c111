// SPDX-License-Identifier: GPL-3.0-or-later
// The few calls whose spelling differs between Qt 6 (Linux) and Qt 5.15 (the
// Windows build), written once here. QtCore and QtGui only.
#pragma once

#include <QLibraryInfo>
#include <QMouseEvent>
#include <QPoint>
#include <QString>

namespace ostelvia::compat {

// Where the mouse was, in the receiving widget's coordinates.
inline QPoint eventPosition(const QMouseEvent& event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event.position().toPoint();
#else
    return event.pos();
#endif
}

// Where Qt's own translations lie.
inline QString qtTranslationsFolder()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

}  // namespace ostelvia::compat
