// Answering a modal dialog from inside a test: the dialog's show blocks in
// a nested event loop, so the test's checks run from a timer on that loop.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace ostelvia::test {

// Runs azione on the modal dialog as soon as it is up; azione must end the
// dialog. Whatever azione does (a failed check returns early), a dialog still
// open afterwards is ended and the test fails, so no test is left blocked and
// none passes on the fallback answer.
inline void QuandoAperto(std::function<void(QDialog*)> azione)
{
    auto attesa = std::make_shared<QElapsedTimer>();
    attesa->start();
    auto prova = std::make_shared<std::function<void()>>();
    *prova = [azione, attesa, prova] {
        QPointer<QDialog> dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialogo) {
            if (attesa->elapsed() < 10000)
                QTimer::singleShot(10, *prova);
            else
                *prova = nullptr;
            return;
        }
        azione(dialogo);
        *prova = nullptr;  // breaks the self-reference
        if (dialogo && dialogo->isVisible()) {
            dialogo->done(QDialog::Rejected);
            QTest::qFail("the dialog was left open", __FILE__, __LINE__);
        }
    };
    QTimer::singleShot(0, *prova);
}

// Another window takes the activation, then the dialog gets it back.
inline void RiattivaDopoAltraFinestra(QDialog* dialogo)
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

inline QPushButton* Pulsante(QDialog* dialogo, const char* nome)
{
    return dialogo->findChild<QPushButton*>(QString::fromLatin1(nome));
}

// Twips to pixels at the primary screen's logical DPI.
inline int Px(int twips)
{
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    return qRound(twips * dpi / 1440.0);
}

}  // namespace ostelvia::test
