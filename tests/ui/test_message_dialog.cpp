// SPDX-License-Identifier: GPL-3.0-or-later
// The message dialog: its layout in twips, worked out by hand from the design
// sizes, and the live dialog answered from a timer on its own event loop.

#include "DialogTestSupport.h"

#include "ui/dialogs/MsgBoxForm.h"
#include "ui/dialogs/MsgBoxLayout.h"

#include <QLabel>
#include <QScrollBar>
#include <QtTest>

using namespace ostelvia::ui;
using namespace ostelvia::test;

class TestMessageDialog : public QObject {
    Q_OBJECT

private slots:
    void rowsAndColumns_data();
    void rowsAndColumns();
    void buttonsForEachStyle();
    void layout();
    void positionAndClamping();

    void dialogForEachStyle_data();
    void dialogForEachStyle();
    void focusAtEachActivation_data();
    void focusAtEachActivation();
    void keyboardEscapeAndClose();
    void windowLook();
    void longTextScrolls();
    void newFormOnEachCall();
};

void TestMessageDialog::rowsAndColumns_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("righe");
    QTest::addColumn<int>("colonne");

    QTest::newRow("vuoto") << QString() << 2 << 51;
    // Runs are 3 ("abc") and 3 (LF, "d", "e").
    QTest::newRow("abc CRLF de") << QStringLiteral("abc") + CRLF + QStringLiteral("de") << 3 << 51;
    QTest::newRow("60 caratteri") << QString(60, QLatin1Char('m')) << 2 << 61;
    QTest::newRow("50 caratteri") << QString(50, QLatin1Char('m')) << 2 << 51;
    QTest::newRow("51 caratteri") << QString(51, QLatin1Char('m')) << 2 << 52;
    // The LF after a CR makes a 50-character second line count 51.
    QTest::newRow("LF conta") << QStringLiteral("a") + CRLF + QString(50, QLatin1Char('m')) << 3 << 52;
    QTest::newRow("riga lunga prima") << QString(70, QLatin1Char('m')) + CRLF + QStringLiteral("b") << 3 << 71;
    QTest::newRow("CR finale") << QStringLiteral("abc\r") << 3 << 51;
}

void TestMessageDialog::rowsAndColumns()
{
    QFETCH(QString, testo);
    QFETCH(int, righe);
    QFETCH(int, colonne);
    QCOMPARE(msgbox::CalcolaRighe(testo), righe);
    QCOMPARE(msgbox::CalcolaColonne(testo), colonne);
}

void TestMessageDialog::buttonsForEachStyle()
{
    using msgbox::Buttons;
    for (int stile : {0, 48})
        QCOMPARE(msgbox::buttonsForStyle(stile), Buttons::Ok);
    for (int stile : {4, 36, 200, 260, 400})
        QCOMPARE(msgbox::buttonsForStyle(stile), Buttons::YesNo);
    for (int stile : {35, 51})
        QCOMPARE(msgbox::buttonsForStyle(stile), Buttons::YesNoCancel);
    // Outside the table: the single "Ok" button, never a dialog without one.
    for (int stile : {1, 2, 3, 16, 32, 64, 199, 401, -1})
        QCOMPARE(msgbox::buttonsForStyle(stile), Buttons::Ok);
    for (int stile : {4, 36, 35, 51})
        QVERIFY(msgbox::focusesFirstButton(stile));
    for (int stile : {0, 48, 200, 260, 400, 16})
        QVERIFY(!msgbox::focusesFirstButton(stile));
}

void TestMessageDialog::layout()
{
    const msgbox::Layout vuoto = msgbox::computeLayout(QString(), 48, kScreen);
    QCOMPARE(vuoto.form.width, 4590);
    QCOMPARE(vuoto.form.height, 1890);
    QCOMPARE(vuoto.label1, (TwipRect{0, 0, 4590, 375}));
    QCOMPARE(vuoto.text1, (TwipRect{120, 480, 4410, 600}));
    QCOMPARE(vuoto.t[0], (TwipRect{1807, 1180, 975, 615}));
    QCOMPARE(vuoto.visible, (std::array<bool, 3>{true, false, false}));
    // Hidden buttons move down with the text, at their design lefts.
    QCOMPARE(vuoto.t[2], (TwipRect{2280, 1180, 975, 615}));

    const msgbox::Layout riga60 = msgbox::computeLayout(QString(60, QLatin1Char('x')), 0, kScreen);
    QCOMPARE(riga60.form.width, 5490);
    QCOMPARE(riga60.text1.width, 5310);
    QCOMPARE(riga60.t[0].left, 2257);  // Int((5490 - 975) / 2)

    // Four lines: R = 5, Text1 1500 high, buttons at 480 + 1500 + 100.
    const msgbox::Layout quattro = msgbox::computeLayout(promptOfLines(4), 48, kScreen);
    QCOMPARE(quattro.text1.height, 1500);
    QCOMPARE(quattro.form.height, 2790);
    QCOMPARE(quattro.t[0].top, 2080);

    // W = 4590; the pair is 2 x 975 + 70 = 2020 wide, the three 3065.
    for (int stile : {4, 36, 260}) {
        const msgbox::Layout l = msgbox::computeLayout(QString(), stile, kScreen);
        QCOMPARE(l.t[0].left, 1285);
        QCOMPARE(l.t[1].left, 2330);
        QCOMPARE(l.visible, (std::array<bool, 3>{true, true, false}));
    }
    for (int stile : {35, 51}) {
        const msgbox::Layout l = msgbox::computeLayout(QString(), stile, kScreen);
        QCOMPARE(l.t[0].left, 762);
        QCOMPARE(l.t[1].left, 1807);
        QCOMPARE(l.t[2].left, 2852);
        QCOMPARE(l.visible, (std::array<bool, 3>{true, true, true}));
    }
    QCOMPARE(msgbox::computeLayout(QString(), 16, kScreen).t[0].left, 1807);
}

void TestMessageDialog::positionAndClamping()
{
    // Loaded centred at 4695 x 3135: Int(7305 / 2), Int(5865 / 2); sized from
    // that corner, not centred afresh (which would give 3705, 3555).
    QCOMPARE(msgbox::positionAtLoad(kScreen), (TwipRect{3652, 2932, 4695, 3135}));
    QCOMPARE(msgbox::computeLayout(QString(), 48, kScreen).form, (TwipRect{3652, 2932, 4590, 1890}));

    // 100 characters: W = 9090 would end at 12742, past the screen's 12000.
    QCOMPARE(msgbox::computeLayout(QString(100, QLatin1Char('x')), 48, kScreen).form,
             (TwipRect{2910, 2932, 9090, 1890}));

    // 30 lines: R = 31 would need 9300 + 1290; Text1 gets 9000 - 1290.
    const msgbox::Layout alto = msgbox::computeLayout(promptOfLines(30), 51, kScreen);
    QCOMPARE(alto.text1.height, 7710);
    QCOMPARE(alto.form, (TwipRect{3652, 0, 4590, 9000}));
    QCOMPARE(alto.t[0].top, 8290);

    // 500 characters: exactly as wide as the screen.
    const msgbox::Layout enorme = msgbox::computeLayout(QString(500, QLatin1Char('x')), 48, kScreen);
    QCOMPARE(enorme.form.left, 0);
    QCOMPARE(enorme.form.width, 12000);
    QCOMPARE(enorme.text1.width, 11820);
    QCOMPARE(enorme.t[0].left, 5512);  // Int(11025 / 2)

    // On a screen beyond 16-bit twips: 364 columns of 90, 109 rows of 300.
    const TwipSize grande{60000, 60000};
    QCOMPARE(msgbox::computeLayout(QString(500, QLatin1Char('x')), 48, grande).form.width, 32760);
    QCOMPARE(msgbox::computeLayout(promptOfLines(200), 48, grande).form.height, 33990);
}

void TestMessageDialog::dialogForEachStyle_data()
{
    QTest::addColumn<int>("stile");
    QTest::addColumn<QString>("t0");
    QTest::addColumn<QString>("visibili");
    QTest::addColumn<QString>("premi");
    QTest::addColumn<int>("risposta");

    QTest::newRow("0 Ok") << 0 << "Ok"
                          << "T0"
                          << "T0" << 0;
    QTest::newRow("48 Ok") << 48 << "Ok"
                           << "T0"
                           << "T0" << 0;
    QTest::newRow("4 Si") << 4 << "S\u00EC"
                          << "T0 T1"
                          << "T0" << 6;
    QTest::newRow("36 No") << 36 << "S\u00EC"
                           << "T0 T1"
                           << "T1" << 7;
    QTest::newRow("35 Si") << 35 << "S\u00EC"
                           << "T0 T1 T2"
                           << "T0" << 6;
    QTest::newRow("51 Annulla") << 51 << "S\u00EC"
                                << "T0 T1 T2"
                                << "T2" << 2;
    QTest::newRow("51 No") << 51 << "S\u00EC"
                           << "T0 T1 T2"
                           << "T1" << 7;
    QTest::newRow("260 Si") << 260 << "S\u00EC"
                            << "T0 T1"
                            << "T0" << 6;
    QTest::newRow("16 fuori tabella") << 16 << "Ok"
                                      << "T0"
                                      << "T0" << 0;
}

void TestMessageDialog::dialogForEachStyle()
{
    QFETCH(int, stile);
    QFETCH(QString, t0);
    QFETCH(QString, visibili);
    QFETCH(QString, premi);
    QFETCH(int, risposta);

    QString titolo, testo, didascalie, mostrati, fuoco;
    answerNext([&](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        titolo = d->findChild<QLabel*>(QStringLiteral("Label1"))->text();
        testo = d->findChild<QTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        QStringList s, v;
        for (const char* nome : {"T0", "T1", "T2"}) {
            s << findButton(d, nome)->text();
            if (findButton(d, nome)->isVisible())
                v << QString::fromLatin1(nome);
        }
        didascalie = s.join(QLatin1Char(' '));
        mostrati = v.join(QLatin1Char(' '));
        fuoco = focusName();
        QTest::mouseClick(findButton(d, qPrintable(premi)), Qt::LeftButton);
    });
    RispostaMsgBox = 99;  // the answer must be the button's
    const Risposta r = MostraMessaggio(QStringLiteral("Prima riga") + CRLF + QStringLiteral("Seconda riga"),
                                       static_cast<Stile>(stile), QStringLiteral("Errore per Tassa di Soggiorno"));

    QCOMPARE(titolo, QStringLiteral("Errore per Tassa di Soggiorno"));
    QCOMPARE(testo, QStringLiteral("Prima riga\nSeconda riga"));
    QCOMPARE(mostrati, visibili);
    QVERIFY(didascalie.startsWith(t0));
    QVERIFY(didascalie.endsWith(QStringLiteral("Annulla")));  // T(2) keeps it
    if (visibili.contains(QStringLiteral("T1")))
        QCOMPARE(didascalie.section(QLatin1Char(' '), 1, 1), QStringLiteral("No"));
    QCOMPARE(fuoco, QStringLiteral("T0"));
    QCOMPARE(int(r), risposta);
    QCOMPARE(RispostaMsgBox, codeOf(r));
    QCOMPARE(int(PulsantiMsgBox), stile);
}

void TestMessageDialog::focusAtEachActivation_data()
{
    QTest::addColumn<int>("stile");
    QTest::addColumn<QString>("fuoco");
    // 36 puts the focus on "Si" at every activation; 260 leaves it where the
    // user moved it.
    QTest::newRow("36") << 36 << "T0";
    QTest::newRow("260") << 260 << "T1";
}

void TestMessageDialog::focusAtEachActivation()
{
    QFETCH(int, stile);
    QFETCH(QString, fuoco);
    QString fuocoDopo;
    answerNext([&](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        findButton(d, "T1")->setFocus(Qt::TabFocusReason);
        reactivateAfterOtherWindow(d);
        fuocoDopo = focusName();
        QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton);
    });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), static_cast<Stile>(stile), QStringLiteral("Titolo"))), 6);
    QCOMPARE(fuocoDopo, fuoco);
}

void TestMessageDialog::keyboardEscapeAndClose()
{
    // Escape, a close request and Enter in the text leave the dialog open;
    // Enter presses the focused button, not a default one.
    bool apertoDopoEscape = false, apertoDopoInvioSulTesto = false;
    answerNext([&](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        apertoDopoEscape = survivesEscapeAndClose(d);
        QTest::keyClick(d->findChild<QTextEdit*>(QStringLiteral("Text1")), Qt::Key_Return);
        apertoDopoInvioSulTesto = d->isVisible();
        findButton(d, "T1")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::DomandaSiNo, QStringLiteral("Titolo"))), 7);
    QVERIFY(apertoDopoEscape);
    QVERIFY(apertoDopoInvioSulTesto);

    answerNext([](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        findButton(d, "T2")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::ErroreSiNoAnnulla, QStringLiteral("Titolo"))), 2);

    answerNext([](QDialog* d) {
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    });
    RispostaMsgBox = 99;
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::Errore, QStringLiteral("Titolo"))), 0);
}

void TestMessageDialog::windowLook()
{
    Qt::WindowFlags flags;
    bool nessunPredefinito = false;
    QSize dimensione;
    QPoint angolo;
    QRect t0, t2, text1;
    answerNext([&](QDialog* d) {
        flags = d->windowFlags();
        nessunPredefinito = hasNoDefaultButton(d);
        dimensione = d->size();
        angolo = d->pos();
        t0 = findButton(d, "T0")->geometry();
        t2 = findButton(d, "T2")->geometry();
        text1 = d->findChild<QTextEdit*>(QStringLiteral("Text1"))->geometry();
        QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton);
    });
    MostraMessaggio(QString(), Stile::ErroreSiNoAnnulla, QStringLiteral("Titolo"));

    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(nessunPredefinito);
    QCOMPARE(dimensione, QSize(Px(4590), Px(1890)));
    QCOMPARE(text1, QRect(Px(120), Px(480), Px(4410), Px(600)));
    QCOMPARE(t0, QRect(Px(762), Px(1180), Px(975), Px(615)));
    QCOMPARE(t2.left(), Px(2852));
    // The load corner: centred for the design size on the available area.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    const int larghezza = qRound(area.width() * 1440 / dpi), altezza = qRound(area.height() * 1440 / dpi);
    QCOMPARE(angolo, area.topLeft() + QPoint(Px((larghezza - 4695) / 2), Px((altezza - 3135) / 2)));
}

void TestMessageDialog::longTextScrolls()
{
    // Far more text than the screen holds: the dialog stays on the available
    // area, its buttons inside it, and the text scrolls.
    bool dentro = false, scorre = false, pulsanteDentro = false;
    answerNext([&](QDialog* d) {
        dentro = QGuiApplication::primaryScreen()->availableGeometry().contains(d->geometry());
        QCoreApplication::processEvents();
        scorre = d->findChild<QTextEdit*>(QStringLiteral("Text1"))->verticalScrollBar()->maximum() > 0;
        pulsanteDentro = findButton(d, "T0")->geometry().bottom() < d->height();
        QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton);
    });
    MostraMessaggio(promptOfLines(300) + QString(400, QLatin1Char('y')), Stile::Errore, QStringLiteral("Titolo"));
    QVERIFY(dentro);
    QVERIFY(scorre);
    QVERIFY(pulsanteDentro);
}

void TestMessageDialog::newFormOnEachCall()
{
    answerNext([](QDialog* d) { QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton); });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::ErroreSiNoAnnulla, QStringLiteral("Primo"))), 6);

    // The next call starts from the design: "Annulla" hidden, the new title.
    bool annullaVisibile = true;
    QString titolo;
    answerNext([&](QDialog* d) {
        annullaVisibile = findButton(d, "T2")->isVisible();
        titolo = d->findChild<QLabel*>(QStringLiteral("Label1"))->text();
        QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton);
    });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::Errore, QStringLiteral("Secondo"))), 0);
    QVERIFY(!annullaVisibile);
    QCOMPARE(titolo, QStringLiteral("Secondo"));
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<MsgBox_Form*>(w));

    // A loop ended without a button must not hand back the previous "Si".
    answerNext([](QDialog* d) { QTest::mouseClick(findButton(d, "T0"), Qt::LeftButton); });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::DomandaSiNo, QStringLiteral("Titolo"))), 6);
    answerNext([](QDialog* d) { d->done(QDialog::Rejected); });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::DomandaSiNo, QStringLiteral("Titolo"))), 7);
    answerNext([](QDialog* d) { d->done(QDialog::Rejected); });
    QCOMPARE(int(MostraMessaggio(QStringLiteral("?"), Stile::ErroreSiNoAnnulla, QStringLiteral("Titolo"))), 2);
}

QTEST_MAIN(TestMessageDialog)
#include "test_message_dialog.moc"
