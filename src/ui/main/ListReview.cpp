// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ListReview.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include <memory>

#include "compat/QtCompat.h"
#include "ui/dialogs/OverrideCursor.h"
#include "ui/main/FieldView.h"
#include "ui/main/LinesView.h"
#include "ui/main/TotalsView.h"

namespace ostelvia::ui {

namespace {

const QString kVerifica = QStringLiteral("&Verifica");

void showFields(LinesView* list, int row)
{
    if (row < 0 || row >= list->lineCount())
        return;
    FieldView view(list->lineText(row), row + 1, list->window());
    view.exec();
}

// In a list whose lines switch on each click, the first click of a
// double-click switches the line; this puts it back as it was before.
class SelectionKeptOnDoubleClick : public QObject {
public:
    explicit SelectionKeptOnDoubleClick(LinesView* list) : QObject(list), list_(list)
    {
        list->viewport()->installEventFilter(this);
        connect(list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            const int row = index.row();
            if (row == row_)
                list_->setLineSelected(row, wasSelected_);
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
        const int row = list_->rowAt(compat::eventPosition(*press));
        // The second press of a double-click must not overwrite the state
        // before the first.
        const bool secondPress = row == row_ && sinceLastPress_.isValid()
            && sinceLastPress_.elapsed() <= QApplication::doubleClickInterval();
        if (!secondPress) {
            row_ = row;
            wasSelected_ = row >= 0 && list_->isLineSelected(row);
        }
        sinceLastPress_.start();
        return false;
    }

private:
    LinesView* list_;
    QElapsedTimer sinceLastPress_;
    int row_ = -1;
    bool wasSelected_ = false;
};

// The line's menu at a point of the screen.
void showLineMenu(LinesView* list, int row, const QPoint& where)
{
    if (row < 0)
        return;
    QMenu menu(list);
    menu.setObjectName(QStringLiteral("lineMenu"));
    QAction* showAction = menu.addAction(QStringLiteral("&Mostra i campi…"));
    showAction->setObjectName(QStringLiteral("showFields"));
    if (menu.exec(where) == showAction)
        showFields(list, row);
}

// The keyboard's way to the same: the context-menu key (or Shift+F10) opens
// the menu under the current line, Enter opens the current line's fields.
class KeyboardFieldView : public QObject {
public:
    explicit KeyboardFieldView(LinesView* list) : QObject(list), list_(list) { list->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const int row = list_->currentIndex().row();
        if (event->type() == QEvent::ContextMenu
            && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
            const QRect line = list_->visualRect(list_->currentIndex());
            showLineMenu(list_, row, list_->viewport()->mapToGlobal(line.isValid() ? line.bottomLeft() : QPoint()));
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && row >= 0) {
                showFields(list_, row);
                return true;
            }
        }
        return false;
    }

private:
    LinesView* list_;
};

}  // namespace

void connectFieldView(LinesView* list)
{
    new SelectionKeptOnDoubleClick(list);
    new KeyboardFieldView(list);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, list, [list](const QPoint& point) {
        showLineMenu(list, list->rowAt(point), list->viewport()->mapToGlobal(point));
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

QAction* addTotalsAction(QMenu* menu, LinesView* list)
{
    QAction* totals = menu->addAction(QStringLiteral("&Riepilogo…"));
    totals->setObjectName(QStringLiteral("totals"));
    QObject::connect(totals, &QAction::triggered, list, [list] {
        std::unique_ptr<TotalsView> view;
        {
            // Counting a two-year list takes a moment.
            const OverrideCursor busy;
            view = std::make_unique<TotalsView>(list->lines().texts(), list->selectedRows(), list->window());
        }
        view->exec();
    });
    return totals;
}

}  // namespace ostelvia::ui
