// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/InputBoxForm.h"

#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/InputBoxLayout.h"
#include "ui/dialogs/OverrideCursor.h"
#include "ui/dialogs/Twips.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

namespace ostelvia::ui {

QString RispostaInputBox;

namespace {

void placeInTwips(QWidget* widget, const TwipRect& rect, qreal dpi)
{
    widget->setGeometry(TwipsToPixels(rect, dpi));
}

}  // namespace

InputBox_Form::InputBox_Form(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("InputBox_Form"));
    setModal(true);
    const ScreenTwips schermo = ScreenInTwips(screen());

    // Creation order gives the tab order: Text2, T(0), T(1), Text1, Label1.
    text2_ = new QLineEdit(QStringLiteral("Text2"), this);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setFont(arialFont(12, true));
    text2_->installEventFilter(this);
    placeInTwips(text2_, {inputbox::kText2Left, 1920, 4335, inputbox::kText2Height}, schermo.dpi);

    const std::array<QString, 2> didascalie{QStringLiteral("Ok"), QStringLiteral("Annulla")};
    const std::array<int, 2> sinistre{2520, 3600};
    for (int i = 0; i < 2; ++i) {
        t_[i] = new QPushButton(didascalie[i], this);
        t_[i]->setObjectName(QStringLiteral("T%1").arg(i));
        prepareButton(t_[i]);
        placeInTwips(t_[i], {sinistre[i], 2400, inputbox::kButtonWidth, inputbox::kButtonHeight}, schermo.dpi);
        connect(t_[i], &QPushButton::clicked, this, [this, i] { T_Click(i); });
    }
    text1_ = new QTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    prepareTextBox(text1_);
    placeInTwips(text1_, {inputbox::kText1Left, inputbox::kText1Top, 4455, 1215}, schermo.dpi);
    showInTextBox(text1_, QStringLiteral("Text1"));
    label1_ = new QLabel(QStringLiteral("Label1"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    prepareTitle(label1_);
    placeInTwips(label1_, {0, 0, 4695, inputbox::kLabel1Height}, schermo.dpi);
    setTabOrder(text2_, t_[0]);
    setTabOrder(t_[0], t_[1]);
    setTabOrder(t_[1], text1_);
    text2_->setFocus(Qt::OtherFocusReason);

    // Load: centred on the screen at the design size.
    const QRect iniziale =
        TwipsToPixels(centredOnScreen(inputbox::kFormWidth, inputbox::kFormHeight, schermo.size), schermo.dpi);
    setFixedSize(iniziale.size());
    move(schermo.originPx + iniziale.topLeft());
}

void InputBox_Form::setPrompt(const QString& richiesta)
{
    richiesta_ = richiesta;
    showInTextBox(text1_, richiesta);
}

void InputBox_Form::setTitle(const QString& titolo)
{
    label1_->setText(titolo);
}

void InputBox_Form::setDefaultAnswer(const QString& predefinito)
{
    text2_->setText(predefinito);
}

bool InputBox_Form::eventFilter(QObject* oggetto, QEvent* evento)
{
    // Enter in the field only moves the focus to "Ok"; a second Enter (or
    // Space) presses it. Closing on the first Enter would skip a look at
    // the answer.
    if (oggetto == text2_ && evento->type() == QEvent::KeyPress) {
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) {
            t_[0]->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(oggetto, evento);
}

void InputBox_Form::showEvent(QShowEvent* evento)
{
    // Laid out when shown, the one activation the tool itself gives this
    // dialog (nothing of the tool opens over it). Coming back from another
    // program must neither move the window nor select the answer being typed.
    Form_Activate();
    QDialog::showEvent(evento);
}

void InputBox_Form::paintEvent(QPaintEvent*)
{
    paintBackground(this);
}

void InputBox_Form::Form_Activate()
{
    const ScreenTwips schermo = ScreenInTwips(screen());
    const inputbox::Layout l = inputbox::computeLayout(richiesta_, schermo.size);
    const QRect form = TwipsToPixels(l.form, schermo.dpi);
    setFixedSize(form.size());
    move(schermo.originPx + form.topLeft());
    placeInTwips(label1_, l.label1, schermo.dpi);
    placeInTwips(text1_, l.text1, schermo.dpi);
    placeInTwips(text2_, l.text2, schermo.dpi);
    for (int i = 0; i < 2; ++i)
        placeInTwips(t_[i], l.t[i], schermo.dpi);
    text2_->setSelection(0, static_cast<int>(text2_->text().size()));
}

void InputBox_Form::T_Click(int index)
{
    if (premuto_ >= 0)
        return;
    RispostaInputBox = index == 0 ? text2_->text() : QString();
    premuto_ = index;
    done(QDialog::Accepted);
}

QString ChiediTesto(const QString& richiesta, const QString& titolo, const QString& predefinito, bool* annullato)
{
    // A fresh form per call: every dialog starts from the design values.
    InputBox_Form form;
    const OverrideCursor freccia(Qt::ArrowCursor);
    form.setPrompt(richiesta);
    form.setTitle(titolo);
    form.setDefaultAnswer(predefinito);
    form.exec();
    // Ended from outside (the application quitting) counts as "Annulla": a
    // previous call's answer must not come back as this one's.
    if (form.pressedButton() < 0)
        RispostaInputBox = QString();
    if (annullato)
        *annullato = form.pressedButton() != 0;
    return RispostaInputBox;
}

}  // namespace ostelvia::ui
