// SPDX-License-Identifier: GPL-3.0-or-later
// The read-only view of one line of the list: for a record its 38 fields
// with what each holds, where it sits, its value as written and, for the
// code fields, the name the code stands for; for the header, that it is the
// header; for a line of another length, a plain warning.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTableWidget;

namespace ostelvia::ui {

class FieldView : public QDialog {
    Q_OBJECT

public:
    // lineNumber: the line's number in the list, counted from 1.
    FieldView(const QString& line, int lineNumber, QWidget* parent = nullptr);

    QLabel* summary() const { return summary_; }
    QLabel* warning() const { return warning_; }
    QTableWidget* fields() const { return fields_; }

    enum Column { Number, Description, Positions, Width, Value, Meaning };

private:
    void fillFields(const QStringList& values);

    QLabel* summary_;
    QLabel* warning_;
    QTableWidget* fields_;
};

// Blanks shown as middle dots, so that a value's width can be seen.
QString visibleBlanks(const QString& valore);

}  // namespace ostelvia::ui
