// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows while the check of every card runs: a busy cursor at
// once and, when the check takes a while, a modal progress bar with the
// number of cards checked so far. The window keeps repainting meanwhile; the
// modal bar keeps the clerk's clicks away from the fields the check reads.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

class QWidget;

namespace ostelvia::ui {

// Thrown out of the check when the clerk cancels it from the bar.
struct CheckCancelled { };

class CheckProgressView {
public:
    // showAfterMs: how long the check runs before the bar appears;
    // everyMs: how often the bar and the windows are brought up to date.
    explicit CheckProgressView(QWidget* parent, int showAfterMs = 400, int everyMs = 50);
    ~CheckProgressView();
    CheckProgressView(const CheckProgressView&) = delete;
    CheckProgressView& operator=(const CheckProgressView&) = delete;

    // After each card. Throws CheckCancelled once the clerk has pressed
    // "&Annulla" (or Escape) on the bar.
    void cardsChecked(int count);

    // The bar's title and its count for one card and for %1 cards, for a walk
    // over the cards that is no check.
    void setTexts(QString title, QString oneCard, QString cards);

    // The bar, once shown (tests).
    QProgressDialog* dialog() const { return dialog_; }

private:
    QWidget* parent_;
    int showAfterMs_;
    int everyMs_;
    QElapsedTimer started_;
    qint64 lastUpdate_ = -1;
    QPointer<QProgressDialog> dialog_;
    QString title_ = QStringLiteral("Controllo delle schede");
    QString oneCard_ = QStringLiteral("1 scheda controllata");
    QString cards_ = QStringLiteral("%1 schede controllate");
};

}  // namespace ostelvia::ui
