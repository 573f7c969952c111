// SPDX-License-Identifier: GPL-3.0-or-later
// List1: the lines of the export file, one per row, in the file's order. The
// clerk switches lines on and off by clicking; "&Invia" writes back the
// selected ones. The lines live in a plain read-only model over the file's
// bytes, decoded as rows are shown, so that a long export is listed and
// selected in one step each.
#pragma once

#include <QListView>
#include <QVector>

#include "export/ExportLines.h"

namespace ostelvia::ui {

class LinesModel;

class LinesView : public QListView {
    Q_OBJECT

public:
    explicit LinesView(QWidget* parent = nullptr);

    // Replaces the lines; none is selected afterwards.
    void setLines(exporter::ExportLines lines);
    void clearLines() { setLines({}); }
    // Every line selected, as one range.
    void selectAllLines();

    const exporter::ExportLines& lines() const;
    int lineCount() const { return static_cast<int>(lines().size()); }
    // "" for a row that is not there.
    QString lineText(int row) const { return row >= 0 && row < lineCount() ? lines().at(row) : QString(); }

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
