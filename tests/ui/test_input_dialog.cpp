// SPDX-License-Identifier: GPL-3.0-or-later
// The input dialog: its layout in twips, worked out by hand from the design
// sizes, and the live dialog answered from a timer on its own event loop.

#include "DialogTestSupport.h"

#include "ui/dialogs/InputBoxForm.h"
#include "ui/dialogs/InputBoxLayout.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace ostelvia::ui;
using namespace ostelvia::test;

namespace {

const QString kAbcDe = QStringLiteral("abc") + CRLF + QStringLiteral("de");

QLineEdit* Text2(QDialog* d)
{
    return d->findChild<QLineEdit*>(QStringLiteral("Text2"));
}

}  // namespace

class TestInputDialog : public QObject {
    Q_OBJECT

private slots:
    void rowsAndColumns_data();
    void rowsAndColumns();
    void layout();
    void centredAndClamped();

    void contentFocusAndSelection();
    void enterMovesFocusToOk();
    void cancelAndEmptyOk();
    void windowEscapeAndGeometry();
};

void TestInputDialog::rowsAndColumns_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("righe");
    QTest::addColumn<int>("colonne");

    QTest::newRow("vuoto") << QString() << 1 << 80;
    QTest::newRow("abc CRLF de") << kAbcDe << 2 << 80;
    QTest::newRow("100 caratteri") << QString(100, QLatin1Char('m')) << 1 << 100;
    QTest::newRow("81 caratteri") << QString(81, QLatin1Char('m')) << 1 << 81;
    // The LF after a CR makes an 80-character second line count 81.
    QTest::newRow("LF conta") << QStringLiteral("a") + CRLF + QString(80, QLatin1Char('m')) << 2 << 81;
    QTest::newRow("riga lunga prima") << QString(90, QLatin1Char('m')) + CRLF + QStringLiteral("b") << 2 << 90;
    QTest::newRow("quattro righe") << promptOfLines(4) << 4 << 80;
}

void TestInputDialog::rowsAndColumns()
{
    QFETCH(QString, testo);
    QFETCH(int, righe);
    QFETCH(int, colonne);
    QCOMPARE(inputbox::CalcolaRighe(testo), righe);
    QCOMPARE(inputbox::CalcolaColonne(testo), colonne);
}

void TestInputDialog::layout()
{
    const inputbox::Layout l = inputbox::computeLayout(kAbcDe, kScreen);
    QCOMPARE(l.form.width, 7200);
    QCOMPARE(l.form.height, 2565);
    QCOMPARE(l.label1, (TwipRect{0, 0, 7200, 375}));
    QCOMPARE(l.text1, (TwipRect{120, 600, 7020, 600}));
    QCOMPARE(l.text2, (TwipRect{120, 1400, 7020, 375}));
    QCOMPARE(l.t[0], (TwipRect{5050, 1875, 975, 615}));
    QCOMPARE(l.t[1], (TwipRect{6095, 1875, 975, 615}));

    const inputbox::Layout vuoto = inputbox::computeLayout(QString(), kScreen);
    QCOMPARE(vuoto.form.width, 7200);
    QCOMPARE(vuoto.form.height, 2265);
    QCOMPARE(vuoto.text2.top, 1100);
    QCOMPARE(vuoto.t[0].top, 1575);

    const inputbox::Layout largo = inputbox::computeLayout(QString(100, QLatin1Char('x')), kScreen);
    QCOMPARE(largo.form.width, 9000);
    QCOMPARE(largo.text2.width, 8820);
    QCOMPARE(largo.t[0].left, 6850);
    QCOMPARE(largo.t[1].left, 7895);
}

void TestInputDialog::centredAndClamped()
{
    // Design size centred: Int(7320 / 2), Int(5880 / 2); at 7200 x 2565
    // centred again: Int(4800 / 2), Int(6435 / 2).
    QCOMPARE(centredOnScreen(4680, 3120, kScreen), (TwipRect{3660, 2940, 4680, 3120}));
    QCOMPARE(inputbox::computeLayout(kAbcDe, kScreen).form, (TwipRect{2400, 3217, 7200, 2565}));

    // 200 characters would be 18000 wide: the screen's 12000, at its left.
    const inputbox::Layout largo = inputbox::computeLayout(QString(200, QLatin1Char('x')), kScreen);
    QCOMPARE(largo.form.left, 0);
    QCOMPARE(largo.form.width, 12000);
    QCOMPARE(largo.text2.width, 11820);
    QCOMPARE(largo.t[0].left, 9850);

    // 30 lines would need 9000 + 1965: the prompt gets 9000 - 1965 = 7035.
    const inputbox::Layout alto = inputbox::computeLayout(promptOfLines(30), kScreen);
    QCOMPARE(alto.text1.height, 7035);
    QCOMPARE(alto.text2.top, 7835);
    QCOMPARE(alto.t[0].top, 8310);
    QCOMPARE(alto.form, (TwipRect{2400, 0, 7200, 9000}));

    // On a screen beyond 16-bit twips: 364 columns of 90, 109 rows of 300.
    const TwipSize grande{60000, 60000};
    QCOMPARE(inputbox::computeLayout(QString(500, QLatin1Char('x')), grande).form.width, 32760);
    QCOMPARE(inputbox::computeLayout(promptOfLines(200), grande).text1.height, 32700);
}

void TestInputDialog::contentFocusAndSelection()
{
    QString titolo, richiesta, testo, selezione, riselezione, t0, t1, fuoco;
    answerNext([&](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        titolo = d->findChild<QLabel*>(QStringLiteral("Label1"))->text();
        richiesta = d->findChild<QTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        testo = Text2(d)->text();
        selezione = Text2(d)->selectedText();
        t0 = findButton(d, "T0")->text();
        t1 = findButton(d, "T1")->text();
        fuoco = focusName();
        // Coming back from another window leaves the answer as the user left it.
        Text2(d)->deselect();
        reactivateAfterOtherWindow(d);
        riselezione = Text2(d)->selectedText();
        QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton);
    });
    bool annullato = true;
    const QString r = ChiediTesto(kAbcDe, QStringLiteral("Percorso"), QStringLiteral("C:\\ZaverUdevu.txt"), &annullato);

    QCOMPARE(titolo, QStringLiteral("Percorso"));
    QCOMPARE(richiesta, QStringLiteral("abc\nde"));
    QCOMPARE(testo, QStringLiteral("C:\\ZaverUdevu.txt"));
    QCOMPARE(selezione, testo);
    QCOMPARE(riselezione, QString());
    QCOMPARE(t0, QStringLiteral("Ok"));
    QCOMPARE(t1, QStringLiteral("Annulla"));
    QCOMPARE(fuoco, QStringLiteral("Text2"));
    QCOMPARE(r, QStringLiteral("C:\\ZaverUdevu.txt"));
    QVERIFY(!annullato);
    QCOMPARE(RispostaInputBox, r);
}

void TestInputDialog::enterMovesFocusToOk()
{
    // Typing replaces the selected default; the first Enter only moves the
    // focus to "Ok", the second presses it. The text comes back as typed.
    bool apertoDopoIlPrimoInvio = false;
    QString fuocoDopoIlPrimoInvio;
    answerNext([&](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("D:\\x.txt "));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        apertoDopoIlPrimoInvio = d->isVisible();
        fuocoDopoIlPrimoInvio = focusName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    bool annullato = true;
    QCOMPARE(ChiediTesto(QStringLiteral("?"), QStringLiteral("Titolo"), QStringLiteral("vecchio"), &annullato),
             QStringLiteral("D:\\x.txt "));
    QVERIFY(apertoDopoIlPrimoInvio);
    QCOMPARE(fuocoDopoIlPrimoInvio, QStringLiteral("T0"));
    QVERIFY(!annullato);

    // The keypad's Enter behaves the same; Space then presses "Ok".
    answerNext([](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(d->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    });
    QCOMPARE(ChiediTesto(QStringLiteral("?"), QStringLiteral("Titolo"), QStringLiteral("tale e quale")),
             QStringLiteral("tale e quale"));
}

void TestInputDialog::cancelAndEmptyOk()
{
    RispostaInputBox = QStringLiteral("vecchia risposta");
    bool annullato = false;
    answerNext([](QDialog* d) { QTest::mouseClick(findButton(d, "T1"), Qt::LeftButton); });
    QCOMPARE(ChiediTesto(QStringLiteral("?"), QStringLiteral("Titolo"), QStringLiteral("testo"), &annullato),
             QString());
    QVERIFY(annullato);

    // Enter from the field, Tab to "Annulla", Enter: still "".
    annullato = false;
    answerNext([](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("T1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(ChiediTesto(QStringLiteral("?"), QStringLiteral("Titolo"), QStringLiteral("testo"), &annullato),
             QString());
    QVERIFY(annullato);

    // "Ok" on an empty field: "" as well, but not cancelled.
    answerNext([](QDialog* d) {
        Text2(d)->clear();
        QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton);
    });
    QCOMPARE(ChiediTesto(QStringLiteral("?"), QStringLiteral("Titolo"), QStringLiteral("testo"), &annullato),
             QString());
    QVERIFY(!annullato);

    // A loop ended without a button counts as "Annulla", never as the
    // previous answer.
    answerNext([](QDialog* d) { QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton); });
    QCOMPARE(ChiediTesto(QStringLiteral("?"), QStringLiteral("Titolo"), QStringLiteral("primo")),
             QStringLiteral("primo"));
    answerNext([](QDialog* d) { d->done(QDialog::Rejected); });
    QCOMPARE(ChiediTesto(QStringLiteral("?"), QStringLiteral("Titolo"), QStringLiteral("secondo"), &annullato),
             QString());
    QVERIFY(annullato);
}

void TestInputDialog::windowEscapeAndGeometry()
{
    Qt::WindowFlags flags;
    bool nessunPredefinito = false, apertoDopoEscape = false;
    QRect form, text2, t0, t1;
    answerNext([&](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        flags = d->windowFlags();
        nessunPredefinito = hasNoDefaultButton(d);
        form = d->geometry();
        text2 = Text2(d)->geometry();
        t0 = findButton(d, "T0")->geometry();
        t1 = findButton(d, "T1")->geometry();
        apertoDopoEscape = survivesEscapeAndClose(d);
        QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton);
    });
    QCOMPARE(ChiediTesto(kAbcDe, QStringLiteral("Titolo"), QStringLiteral("resta")), QStringLiteral("resta"));

    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(nessunPredefinito);
    QVERIFY(apertoDopoEscape);
    QCOMPARE(form.size(), QSize(Px(7200), Px(2565)));
    QCOMPARE(text2, QRect(Px(120), Px(1400), Px(7020), Px(375)));
    QCOMPARE(t0, QRect(Px(5050), Px(1875), Px(975), Px(615)));
    QCOMPARE(t1.topLeft(), QPoint(Px(6095), Px(1875)));
    // Centred on the available area, within a pixel of rounding.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(form.center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(form.center().y() - area.center().y()) <= 1);
}

QTEST_MAIN(TestInputDialog)
#include "test_input_dialog.moc"
