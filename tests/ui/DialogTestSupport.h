// SPDX-License-Identifier: GPL-3.0-or-later
// Answering a modal dialog from inside a test: the dialog's show blocks in
// a nested event loop, so the test's checks run from a timer on that loop.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>

#include "DialogAnswer.h"
#include "ui/dialogs/Twips.h"

namespace ostelvia::test {

// Another window takes the activation, then the dialog gets it back.
inline void reactivateAfterOtherWindow(QDialog* dialogo)
{
    QWidget altra;
    altra.setGeometry(0, 0, 50, 50);
    altra.show();
    altra.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&altra));
    QVERIFY(!dialogo->isActiveWindow());
    altra.hide();
    dialogo->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialogo));
}

inline QPushButton* findButton(QDialog* dialogo, const char* nome)
{
    return dialogo->findChild<QPushButton*>(QString::fromLatin1(nome));
}

inline const QString CRLF = QStringLiteral("\r\n");
inline constexpr ui::TwipSize kScreen{12000, 9000};  // 800 x 600 pixels at 96 dpi

// "riga 1" CR LF "riga 2" ... up to quante.
inline QString promptOfLines(int quante)
{
    QStringList linee;
    for (int i = 1; i <= quante; ++i)
        linee << QStringLiteral("riga %1").arg(i);
    return linee.join(CRLF);
}

inline QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Neither the window's nor the focused widget's Escape, nor a close request,
// ends the dialog: only its buttons do.
inline bool survivesEscapeAndClose(QDialog* d)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(d, Qt::Key_Escape);
    const bool dopoEscape = d->isVisible();
    d->close();
    QCoreApplication::processEvents();
    return dopoEscape && d->isVisible();
}

// No button is a default one: Enter presses only the focused button.
inline bool hasNoDefaultButton(QDialog* d)
{
    for (QPushButton* p : d->findChildren<QPushButton*>()) {
        if (p->isDefault() || p->autoDefault())
            return false;
    }
    return true;
}

// Twips to pixels at the primary screen's logical DPI.
inline int Px(int twips)
{
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    return qRound(twips * dpi / 1440.0);
}

}  // namespace ostelvia::test
