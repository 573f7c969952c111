// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/LinesView.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include <QAbstractListModel>
#include <QItemSelectionModel>

#include <vector>

namespace ostelvia::ui {

// Read-only: the lines are what the export wrote, never edited in the list.
class LinesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setLines(exporter::ExportLines lines)
    {
        beginResetModel();
        lines_ = std::move(lines);
        endResetModel();
    }

    const exporter::ExportLines& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        return lines_.at(index.row());
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
    }

private:
    exporter::ExportLines lines_;
};

// Among many selected lines the style's dotted focus line is lost: the
// current line gets a frame two pixels wide in the colour that stands out on
// its background (the selection's text colour on a selected line).
class CurrentLineFrame : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem senzaFuoco(option);
        senzaFuoco.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, senzaFuoco, index);
        if (!(option.state & QStyle::State_HasFocus))
            return;
        const bool selezionata = option.state & QStyle::State_Selected;
        const QColor colore = option.palette.color(selezionata ? QPalette::HighlightedText : QPalette::Highlight);
        painter->save();
        painter->setPen(QPen(colore, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

LinesView::LinesView(QWidget* parent) : QListView(parent), model_(new LinesModel(this))
{
    setModel(model_);
    setItemDelegate(new CurrentLineFrame(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void LinesView::setLines(exporter::ExportLines lines)
{
    model_->setLines(std::move(lines));
}

void LinesView::selectAllLines()
{
    if (lineCount() == 0)
        return;
    const QItemSelection all(model_->index(0), model_->index(lineCount() - 1));
    selectionModel()->select(all, QItemSelectionModel::Select);
}

const exporter::ExportLines& LinesView::lines() const
{
    return model_->lines();
}

QVector<int> LinesView::selectedRows() const
{
    // Clicks split and join ranges freely: marking rows keeps them in the
    // list's order without duplicates, whatever the ranges look like.
    std::vector<bool> marked(static_cast<size_t>(lineCount()), false);
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            marked[static_cast<size_t>(row)] = true;
    }
    QVector<int> rows;
    for (int row = 0; row < lineCount(); ++row) {
        if (marked[static_cast<size_t>(row)])
            rows.append(row);
    }
    return rows;
}

bool LinesView::isLineSelected(int row) const
{
    return selectionModel()->isSelected(model_->index(row));
}

void LinesView::setLineSelected(int row, bool selected)
{
    selectionModel()->select(model_->index(row),
                             selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

}  // namespace ostelvia::ui
