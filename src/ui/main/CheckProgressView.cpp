// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/CheckProgressView.h"

#include <QApplication>
#include <QProgressDialog>

namespace ostelvia::ui {

CheckProgressView::CheckProgressView(QWidget* parent, int showAfterMs, int everyMs)
    : parent_(parent),
      showAfterMs_(showAfterMs),
      everyMs_(everyMs)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    started_.start();
}

CheckProgressView::~CheckProgressView()
{
    delete dialog_;
    QApplication::restoreOverrideCursor();
}

void CheckProgressView::setTexts(QString title, QString oneCard, QString cards)
{
    title_ = std::move(title);
    oneCard_ = std::move(oneCard);
    cards_ = std::move(cards);
}

void CheckProgressView::cardsChecked(int count)
{
    if (dialog_ && dialog_->wasCanceled())
        throw CheckCancelled{};
    const qint64 now = started_.elapsed();
    if (now < showAfterMs_ || (lastUpdate_ >= 0 && now - lastUpdate_ < everyMs_))
        return;
    lastUpdate_ = now;
    if (!dialog_) {
        dialog_ = new QProgressDialog(parent_);
        dialog_->setObjectName(QStringLiteral("checkProgress"));
        dialog_->setWindowTitle(title_);
        dialog_->setCancelButtonText(QStringLiteral("&Annulla"));
        // Wide enough for the whole title on any frame.
        dialog_->setMinimumWidth(420);
        dialog_->setWindowModality(Qt::ApplicationModal);
        // No total is known before the walk ends: the bar runs as busy.
        dialog_->setRange(0, 0);
        dialog_->setMinimumDuration(0);
    }
    if (dialog_->isHidden())
        dialog_->show();
    dialog_->setLabelText(count == 1 ? oneCard_ : cards_.arg(count));
    QApplication::processEvents();
}

}  // namespace ostelvia::ui
