// SPDX-License-Identifier: GPL-3.0-or-later
// List1: the lines of the export file, one per row, in the file's order. The
// clerk switches lines on and off by clicking; "&Invia" writes back the
// selected ones. The lines live in a plain read-only model, so that a long
// export is listed and selected in one step each.
#pragma once

#include <QListView>
#include <QStringList>
#include <QVector>

namespace ostelvia::ui {

class LinesModel;

class LinesView : public QListView {
    Q_OBJECT

public:
    explicit LinesView(QWidget* parent = nullptr);

    // Replaces the lines; none is selected afterwards.
    void setLines(QStringList lines);
    void clearLines() { setLines({}); }
    // Every line selected, as one range.
    void selectAllLines();

    const QStringList& lines() const;
    int lineCount() const { return static_cast<int>(lines().size()); }
    QString lineText(int row) const { return lines().value(row); }

    // The selected rows, ascending, each once.
    QVector<int> selectedRows() const;
    bool isLineSelected(int row) const;
    void setLineSelected(int row, bool selected);
    // The row under a point of the viewport, -1 below the last line.
    int rowAt(const QPoint& point) const { return indexAt(point).row(); }

private:
    LinesModel* model_;
};

}  // namespace ostelvia::ui
