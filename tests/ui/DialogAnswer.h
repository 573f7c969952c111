// SPDX-License-Identifier: GPL-3.0-or-later
// Answers the tool's modal dialogs from inside a test. A dialog's show blocks
// in a nested event loop, so a timer on that loop finds each new modal
// dialog, notes what it shows and answers it. An answer that leaves the dialog
// open ends it and fails the test: no test is left blocked, and none passes on
// the dialog's fallback answer.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

#include "ui/dialogs/InputBoxForm.h"
#include "ui/dialogs/MsgBoxForm.h"

namespace ostelvia::test {

struct DialogSeen {
    QString kind;   // "MsgBox_Form", "InputBox_Form", "QMessageBox"
    QString text;   // message, prompt or message box text
    QString title;  // Label1 of the tool's dialogs, window title otherwise
    QString entry;  // the input dialog's entry field as first shown
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class DialogAnswer {
public:
    using Action = std::function<void(QDialog*)>;

    // Every dialog while this lives: a platform message box is accepted; the
    // tool's dialogs get `typed` in their entry field, when given, and the
    // button with the object name `button` ("T0", "T1") pressed.
    explicit DialogAnswer(QString button, std::optional<QString> typed = std::nullopt)
        : button_(std::move(button)),
          typed_(std::move(typed))
    {
        start();
    }

    // The next dialog only, within ten seconds: `action` checks it and must end it.
    explicit DialogAnswer(Action action) : action_(std::move(action)) { start(); }

    ~DialogAnswer() { timer_.stop(); }

    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    // Every dialog answered so far, in order.
    const QList<DialogSeen>& seen() const { return seen_; }

private:
    void start()
    {
        waited_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last_) {
            if (action_ && waited_.elapsed() > 10000)
                finish();
            return;
        }
        last_ = modal;
        seen_.append(describe(modal));
        if (action_) {
            timer_.stop();
            QPointer<QDialog> dialog = qobject_cast<QDialog*>(modal);
            action_(dialog);
            if (dialog && dialog->isVisible()) {
                dialog->done(QDialog::Rejected);
                QTest::qFail("the dialog was left open", __FILE__, __LINE__);
            }
            finish();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->accept();
            return;
        }
        if (typed_) {
            if (auto* entry = modal->findChild<QLineEdit*>(QStringLiteral("Text2")))
                entry->setText(*typed_);
        }
        if (auto* pressed = modal->findChild<QAbstractButton*>(button_))
            pressed->click();
    }

    void finish()
    {
        timer_.stop();
        if (deleteWhenDone_)
            QTimer::singleShot(0, [this] { delete this; });
    }

    static DialogSeen describe(QWidget* modal)
    {
        DialogSeen dialog;
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            return {QStringLiteral("QMessageBox"), box->text(), box->windowTitle(), {}, box->icon()};
        if (auto* msg = qobject_cast<ui::MsgBox_Form*>(modal)) {
            dialog.kind = QStringLiteral("MsgBox_Form");
            dialog.text = msg->message();
        } else if (auto* input = qobject_cast<ui::InputBox_Form*>(modal)) {
            dialog.kind = QStringLiteral("InputBox_Form");
            dialog.text = input->prompt();
            if (auto* entry = input->findChild<QLineEdit*>(QStringLiteral("Text2")))
                dialog.entry = entry->text();
        }
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("Label1")))
            dialog.title = label->text();
        return dialog;
    }

    QString button_;
    std::optional<QString> typed_;
    Action action_;
    QTimer timer_;
    QElapsedTimer waited_;
    QPointer<QWidget> last_;
    QList<DialogSeen> seen_;
    bool deleteWhenDone_ = false;

public:
    // For answers made on the heap: frees itself once it has answered.
    void deleteWhenDone() { deleteWhenDone_ = true; }
};

// Answers the next dialog with `action`, for a test that shows it right
// after; the answer frees itself once it has answered.
inline void answerNext(DialogAnswer::Action action)
{
    (new DialogAnswer(std::move(action)))->deleteWhenDone();
}

}  // namespace ostelvia::test
