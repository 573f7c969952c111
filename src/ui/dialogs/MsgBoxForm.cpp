// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/MsgBoxForm.h"

#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/MsgBoxLayout.h"
#include "ui/dialogs/OverrideCursor.h"
#include "ui/dialogs/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

namespace ostelvia::ui {

qint16 PulsantiMsgBox = 0;
qint16 RispostaMsgBox = 0;

namespace {

const QString kOk = QStringLiteral("Ok");
const QString kSi = QStringLiteral("S\u00EC");
const QString kNo = QStringLiteral("No");
const QString kAnnulla = QStringLiteral("Annulla");

void placeInTwips(QWidget* widget, const TwipRect& rect, qreal dpi)
{
    widget->setGeometry(TwipsToPixels(rect, dpi));
}

}  // namespace

MsgBox_Form::MsgBox_Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("MsgBox_Form"));
    setModal(true);

    // Creation order gives the tab order: T(0), T(1), T(2), Text1, Label1.
    const std::array<QString, 3> didascalie{kOk, kOk, kAnnulla};
    const std::array<int, 3> sinistre{120, 1200, 2280};
    const ScreenTwips schermo = ScreenInTwips(screen());
    for (int i = 0; i < 3; ++i) {
        t_[i] = new QPushButton(didascalie[i], this);
        t_[i]->setObjectName(QStringLiteral("T%1").arg(i));
        prepareButton(t_[i]);
        placeInTwips(t_[i], {sinistre[i], 2400, msgbox::kButtonWidth, msgbox::kButtonHeight}, schermo.dpi);
        t_[i]->hide();
        connect(t_[i], &QPushButton::clicked, this, [this, i] { T_Click(i); });
    }
    text1_ = new QTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    prepareTextBox(text1_);
    placeInTwips(text1_, {msgbox::kText1Left, msgbox::kText1Top, 4455, 1695}, schermo.dpi);
    showInTextBox(text1_, QStringLiteral("Text1"));
    label1_ = new QLabel(QStringLiteral("Label1"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    prepareTitle(label1_);
    placeInTwips(label1_, {0, 0, msgbox::kFormWidth, msgbox::kLabel1Height}, schermo.dpi);
    setTabOrder(t_[0], t_[1]);
    setTabOrder(t_[1], t_[2]);
    setTabOrder(t_[2], text1_);

    // Load: centred on the screen at the design size.
    const QRect iniziale = TwipsToPixels(msgbox::positionAtLoad(schermo.size), schermo.dpi);
    setFixedSize(iniziale.size());
    move(schermo.originPx + iniziale.topLeft());
}

void MsgBox_Form::setMessage(const QString& messaggio)
{
    messaggio_ = messaggio;
    showInTextBox(text1_, messaggio);
}

void MsgBox_Form::setTitle(const QString& titolo)
{
    label1_->setText(titolo);
}

void MsgBox_Form::setButtons(qint16 pulsanti)
{
    switch (msgbox::buttonsForStyle(pulsanti)) {
    case msgbox::Buttons::Ok:
        t_[0]->setText(kOk);
        t_[0]->show();
        t_[1]->hide();
        t_[2]->hide();
        break;
    case msgbox::Buttons::YesNo:
        t_[0]->setText(kSi);
        t_[1]->setText(kNo);
        t_[0]->show();
        t_[1]->show();
        t_[2]->hide();
        break;
    case msgbox::Buttons::YesNoCancel:
        t_[0]->setText(kSi);
        t_[1]->setText(kNo);
        t_[0]->show();
        t_[1]->show();
        t_[2]->show();
        break;
    }
}

void MsgBox_Form::showEvent(QShowEvent* evento)
{
    // Laid out before the first paint; activation may come later or, on some
    // platforms, not at all.
    Form_Activate();
    QDialog::showEvent(evento);
}

void MsgBox_Form::changeEvent(QEvent* evento)
{
    if (evento->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    QDialog::changeEvent(evento);
}

void MsgBox_Form::paintEvent(QPaintEvent*)
{
    paintBackground(this);
}

void MsgBox_Form::Form_Activate()
{
    const ScreenTwips schermo = ScreenInTwips(screen());
    const msgbox::Layout l = msgbox::computeLayout(messaggio_, PulsantiMsgBox, schermo.size);
    const QRect form = TwipsToPixels(l.form, schermo.dpi);
    setFixedSize(form.size());
    move(schermo.originPx + form.topLeft());
    placeInTwips(label1_, l.label1, schermo.dpi);
    placeInTwips(text1_, l.text1, schermo.dpi);
    for (int i = 0; i < 3; ++i)
        placeInTwips(t_[i], l.t[i], schermo.dpi);
    // A focus given by the program draws no focus frame until the first
    // Tab; a "No" chosen for the clerk must show that it is the one Enter
    // presses, so the window draws focus as after a key.
    if (noByDefault_ && t_[1]->isVisible()) {
        t_[1]->setFocus(Qt::OtherFocusReason);
        setAttribute(Qt::WA_KeyboardFocusChange);
    } else if (msgbox::focusesFirstButton(PulsantiMsgBox))
        t_[0]->setFocus(Qt::OtherFocusReason);
}

void MsgBox_Form::reject()
{
    if (noByDefault_ && t_[1]->isVisible())
        T_Click(1);
}

void MsgBox_Form::T_Click(int index)
{
    if (premuto_ >= 0)
        return;
    switch (index) {
    case 0:
        RispostaMsgBox = codeOf(t_[0]->text() == kSi ? Risposta::Si : Risposta::Ok);
        break;
    case 1:
        RispostaMsgBox = codeOf(Risposta::No);
        break;
    default:
        RispostaMsgBox = codeOf(Risposta::Annulla);
        break;
    }
    premuto_ = index;
    done(QDialog::Accepted);
}

namespace {

Risposta showDialog(const QString& messaggio, Stile stile, const QString& titolo, bool noByDefault)
{
    // A fresh form per call: every dialog starts from the design values.
    MsgBox_Form form;
    if (noByDefault)
        form.answerNoByDefault();
    // Whatever the window is busy with, a question gets the ordinary arrow.
    const OverrideCursor freccia(Qt::ArrowCursor);
    form.setMessage(messaggio);
    form.setTitle(titolo);
    const qint16 pulsanti = codeOf(stile);
    PulsantiMsgBox = pulsanti;
    form.setButtons(pulsanti);
    form.exec();
    if (form.pressedButton() < 0) {
        // The loop was ended from outside (the application quitting): never
        // hand back a previous dialog's answer as if it were this one's.
        switch (msgbox::buttonsForStyle(pulsanti)) {
        case msgbox::Buttons::Ok:
            RispostaMsgBox = codeOf(Risposta::Ok);
            break;
        case msgbox::Buttons::YesNo:
            RispostaMsgBox = codeOf(Risposta::No);
            break;
        case msgbox::Buttons::YesNoCancel:
            RispostaMsgBox = codeOf(Risposta::Annulla);
            break;
        }
    }
    return static_cast<Risposta>(RispostaMsgBox);
}

}  // namespace

Risposta MostraMessaggio(const QString& messaggio, Stile stile, const QString& titolo)
{
    return showDialog(messaggio, stile, titolo, false);
}

bool confirmWithNoByDefault(const QString& question, const QString& title)
{
    return showDialog(question, Stile::SiNo, title, true) == Risposta::Si;
}

}  // namespace ostelvia::ui
