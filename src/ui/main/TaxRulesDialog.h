// SPDX-License-Identifier: GPL-3.0-or-later
// "Impostazioni" > "Regole dell'imposta di soggiorno…": the rules of
// "ImpostaSoggiorno.txt" in a form (tariff, a table of seasons, exempt age,
// most nights taxed, the residents' municipality with completion from the
// code table). "Salva" writes the file only when every value is right;
// otherwise it says what is wrong and keeps the dialog open. A tariff of 0
// or seasons that overlap are saved only when the clerk says so.
#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

#include "export/TaxRules.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace ostelvia::ui {

class TaxRulesDialog : public QDialog {
    Q_OBJECT

public:
    // municipalities: the names offered while typing the municipality.
    // Reads "ImpostaSoggiorno.txt" from the current directory; of a wrong
    // file every right line is loaded and the first wrong one is told.
    explicit TaxRulesDialog(QStringList municipalities, QWidget* parent = nullptr);

    QLineEdit* tariffField() const { return tariff_; }
    QTableWidget* seasonsTable() const { return seasons_; }
    QSpinBox* ageField() const { return age_; }
    QSpinBox* nightsField() const { return nights_; }
    QLineEdit* municipalityField() const { return municipality_; }
    QLabel* problemLabel() const { return problem_; }
    QPushButton* addSeasonButton() const { return addSeason_; }
    QPushButton* removeSeasonButton() const { return removeSeason_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

    // The rules the form holds, or nothing with the problem shown.
    std::optional<exporter::TaxRules> rulesInForm();

private:
    void load();
    void fill(const exporter::TaxRules& rules);
    void addSeasonRow(const QString& first, const QString& last, const QString& amount);
    void save();

    QStringList municipalities_;
    QLineEdit* tariff_;
    QTableWidget* seasons_;
    QSpinBox* age_;
    QSpinBox* nights_;
    QLineEdit* municipality_;
    QLabel* problem_;
    QPushButton* addSeason_;
    QPushButton* removeSeason_;
    QPushButton* save_;
    QPushButton* cancel_;
};

}  // namespace ostelvia::ui
