// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ListReview.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include "ui/main/FieldView.h"
#include "ui/main/TotalsView.h"

namespace ostelvia::ui {

namespace {

const QString kVerifica = QStringLiteral("&Verifica");

void showFields(QListWidget* list, int row)
{
    const QListWidgetItem* item = list->item(row);
    if (!item)
        return;
    FieldView view(item->text(), row + 1, list->window());
    view.exec();
}

// In a list whose lines switch on each click, the first click of a
// double-click switches the line; this puts it back as it was before.
class SelectionKeptOnDoubleClick : public QObject {
public:
    explicit SelectionKeptOnDoubleClick(QListWidget* list) : QObject(list), list_(list)
    {
        list->viewport()->installEventFilter(this);
        connect(list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
            const int row = list_->row(item);
            if (row == row_)
                item->setSelected(wasSelected_);
            showFields(list_, row);
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() != Qt::LeftButton)
            return false;
        const int row = list_->row(list_->itemAt(press->position().toPoint()));
        // The second press of a double-click must not overwrite the state
        // before the first.
        const bool secondPress = row == row_ && sinceLastPress_.isValid()
            && sinceLastPress_.elapsed() <= QApplication::doubleClickInterval();
        if (!secondPress) {
            row_ = row;
            wasSelected_ = row >= 0 && list_->item(row)->isSelected();
        }
        sinceLastPress_.start();
        return false;
    }

private:
    QListWidget* list_;
    QElapsedTimer sinceLastPress_;
    int row_ = -1;
    bool wasSelected_ = false;
};

}  // namespace

void connectFieldView(QListWidget* list)
{
    new SelectionKeptOnDoubleClick(list);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, list, [list](const QPoint& point) {
        const int row = list->row(list->itemAt(point));
        if (row < 0)
            return;
        QMenu menu(list);
        QAction* showAction = menu.addAction(QStringLiteral("Mostra i campi…"));
        showAction->setObjectName(QStringLiteral("showFields"));
        if (menu.exec(list->viewport()->mapToGlobal(point)) == showAction)
            showFields(list, row);
    });
}

QMenu* checksMenu(QMenuBar* bar)
{
    for (QAction* action : bar->actions()) {
        if (action->menu() && action->text() == kVerifica)
            return action->menu();
    }
    QMenu* menu = bar->addMenu(kVerifica);
    menu->setObjectName(QStringLiteral("checksMenu"));
    return menu;
}

QAction* addTotalsAction(QMenu* menu, QListWidget* list)
{
    QAction* totals = menu->addAction(QStringLiteral("&Riepilogo…"));
    totals->setObjectName(QStringLiteral("totals"));
    QObject::connect(totals, &QAction::triggered, list, [list] {
        QStringList lines;
        QVector<int> selected;
        lines.reserve(list->count());
        for (int i = 0; i < list->count(); ++i) {
            lines.append(list->item(i)->text());
            if (list->item(i)->isSelected())
                selected.append(i);
        }
        TotalsView view(lines, selected, list->window());
        view.exec();
    });
    return totals;
}

}  // namespace ostelvia::ui
