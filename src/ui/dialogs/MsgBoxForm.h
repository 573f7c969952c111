// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's message dialog: a borderless topmost window sized to its text,
// with "Ok", "Sì"/"No" or "Sì"/"No"/"Annulla" chosen by a style code.
#pragma once

#include <QDialog>
#include <QString>

#include <array>

#include "ui/dialogs/MsgBoxCodes.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace ostelvia::ui {

// Exchange between MostraMessaggio and the form.
extern qint16 PulsantiMsgBox;  // style code of the dialog being shown
extern qint16 RispostaMsgBox;  // answer code (Risposta) of the button pressed

class MsgBox_Form : public QDialog {
    Q_OBJECT

public:
    explicit MsgBox_Form(QWidget* parent = nullptr);

    void setMessage(const QString& messaggio);
    void setTitle(const QString& titolo);
    // Captions and visibility of the buttons for a style code.
    void setButtons(qint16 pulsanti);

    // For a question whose "Sì" cannot be taken back: "No" gets the focus at
    // each activation, so Enter answers No, and Escape answers No too.
    void answerNoByDefault() { noByDefault_ = true; }

    QString message() const { return messaggio_; }
    // Index of the button that ended the dialog, -1 while none has.
    int pressedButton() const { return premuto_; }

public slots:
    // Escape and the window manager's close both end here: only the buttons
    // close this dialog, except that a question with "No" by default takes
    // them as "No".
    void reject() override;

protected:
    void showEvent(QShowEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

private:
    void Form_Activate();
    void T_Click(int index);

    QString messaggio_;  // as given, CR LF included: the layout counts on it
    int premuto_ = -1;
    bool noByDefault_ = false;
    QLabel* label1_;
    QTextEdit* text1_;
    std::array<QPushButton*, 3> t_;
};

// Shows the message modally and returns the answer of the button pressed.
Risposta MostraMessaggio(const QString& messaggio, Stile pulsanti, const QString& titolo);

// A Sì/No question whose "Sì" does what cannot be undone (sending again,
// sending without a copy): "No" is the default, for Enter and Escape alike.
// True for "Sì".
bool confirmWithNoByDefault(const QString& question, const QString& title);

}  // namespace ostelvia::ui
