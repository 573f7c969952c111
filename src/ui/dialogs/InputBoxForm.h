// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's input dialog: a borderless window with a title line, a prompt,
// one entry field pre-filled with a default answer, "Ok" and "Annulla".
#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace ostelvia::ui {

// The answer: Text2 as typed on "Ok", "" on "Annulla".
extern QString RispostaInputBox;

class InputBox_Form : public QDialog {
    Q_OBJECT

public:
    explicit InputBox_Form(QWidget* parent = nullptr);

    void setPrompt(const QString& richiesta);
    void setTitle(const QString& titolo);
    void setDefaultAnswer(const QString& predefinito);

    QString prompt() const { return richiesta_; }
    // Index of the button that ended the dialog, -1 while none has.
    int pressedButton() const { return premuto_; }

public slots:
    // Escape and the window manager's close both end here: only the buttons
    // close this dialog.
    void reject() override { }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

private:
    void Form_Activate();
    void T_Click(int index);

    QString richiesta_;  // as given, CR LF included: the layout counts on it
    int premuto_ = -1;
    QLabel* label1_;
    QTextEdit* text1_;
    QLineEdit* text2_;
    std::array<QPushButton*, 2> t_;
};

// Asks for a line of text. Returns Text2 as typed on "Ok" and "" on
// "Annulla"; annullato, when given, tells the two empty answers apart.
QString ChiediTesto(const QString& richiesta, const QString& titolo, const QString& predefinito,
                    bool* annullato = nullptr);

}  // namespace ostelvia::ui
