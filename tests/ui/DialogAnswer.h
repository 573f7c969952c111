// Answers the tool's modal dialogs from inside a test: a timer waits for the
// next modal widget, notes what it shows, optionally types an answer, then
// presses the named button. A dialog is never left blocking the test.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

#include "ui/dialogs/InputBoxForm.h"
#include "ui/dialogs/MsgBoxForm.h"

namespace ostelvia::test {

struct DialogSeen {
    QString kind;       // "MsgBox_Form", "InputBox_Form", "QMessageBox"
    QString text;       // message, prompt or message box text
    QString title;      // Label1 of the tool's dialogs, window title otherwise
    QString entry;      // the input dialog's entry field as first shown
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class DialogAnswer {
public:
    // button: objectName of the button to press ("T0", "T1"); ignored for a
    // platform message box, which is accepted. typed: replaces the input
    // dialog's entry before the press.
    explicit DialogAnswer(QString button, std::optional<QString> typed = std::nullopt)
        : button_(std::move(button)), typed_(std::move(typed))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    ~DialogAnswer() { timer_.stop(); }

    // Every dialog answered so far, in order.
    const QList<DialogSeen>& seen() const { return seen_; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last_)
            return;
        last_ = modal;
        DialogSeen dialog;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            dialog = {QStringLiteral("QMessageBox"), box->text(), box->windowTitle(), {}, box->icon()};
            seen_.append(dialog);
            box->accept();
            return;
        }
        if (auto* msg = qobject_cast<ui::MsgBox_Form*>(modal)) {
            dialog.kind = QStringLiteral("MsgBox_Form");
            dialog.text = msg->messaggio();
        } else if (auto* input = qobject_cast<ui::InputBox_Form*>(modal)) {
            dialog.kind = QStringLiteral("InputBox_Form");
            dialog.text = input->richiesta();
            if (auto* entry = input->findChild<QLineEdit*>(QStringLiteral("Text2"))) {
                dialog.entry = entry->text();
                if (typed_)
                    entry->setText(*typed_);
            }
        }
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("Label1")))
            dialog.title = label->text();
        seen_.append(dialog);
        if (auto* pressed = modal->findChild<QAbstractButton*>(button_))
            pressed->click();
    }

    QString button_;
    std::optional<QString> typed_;
    QTimer timer_;
    QPointer<QWidget> last_;
    QList<DialogSeen> seen_;
};

}  // namespace ostelvia::test
