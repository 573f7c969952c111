// SPDX-License-Identifier: GPL-3.0-or-later
// OstelviaDT: the tool's main window. Date and room range, "&Crea File" to run
// the export and list the written lines, "&Invia" to write back the selected
// lines and start the send command, and the "Impostazioni" menu.
#pragma once

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "export/ExportRun.h"
#include "ui/main/LinesView.h"
#include "ui/main/ProcessStarter.h"

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;

namespace ostelvia::ui {

class OstelviaDT : public QWidget, public exporter::RoomSource {
    Q_OBJECT

public:
    // avvio: how commands are started (the real one when null); oggi: the
    // clock behind the preset dates (today's date when empty).
    explicit OstelviaDT(ProcessStarter* avvio = nullptr, Clock oggi = {}, QWidget* parent = nullptr);
    ~OstelviaDT() override;

    // Text1 elements 2 and 3, read live by the export run.
    QString firstRoom() const override;
    QString lastRoom() const override;

    // The controls by what they are; their object names keep the element
    // indexes of the design (Text1_0, T2, menu2_1, ...).
    QLineEdit* dataDaField() const { return text1_[kDataDa]; }
    QLineEdit* dataAField() const { return text1_[kDataA]; }
    QLineEdit* primaCameraField() const { return text1_[kPrimaCamera]; }
    QLineEdit* ultimaCameraField() const { return text1_[kUltimaCamera]; }
    QLabel* primaCameraLabel() const { return label1_[3]; }
    QLabel* ultimaCameraLabel() const { return label1_[2]; }
    QAbstractButton* creaFileButton() const { return t_[kCreaFile]; }
    QAbstractButton* esciButton() const { return t_[kEsci]; }
    QAbstractButton* inviaButton() const { return t_[kInvia]; }
    LinesView* linesList() const { return list1_; }
    QAction* percorsoFileAction() const { return menu2_[kPercorsoFile]; }
    QAction* comandoPaginaWebAction() const { return menu2_[kComandoPaginaWeb]; }
    // "&Verifica" > "&Controlla tutte le schede…".
    QAction* checkAllCardsAction() const { return checkAllCards_; }
    // "&Verifica" > "Rendiconto dell'&imposta…".
    QAction* taxReportAction() const { return taxReport_; }
    // "Impostazioni" > "Regole dell'imposta di soggiorno…".
    QAction* taxRulesAction() const { return taxRules_; }

    // The client area below the menu bar.
    QWidget* area() const { return area_; }

    // The clock that names the archive copy of a send (now when not set).
    void setSendClock(std::function<QDateTime()> ora) { sendClock_ = std::move(ora); }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    // Element indexes of the control arrays.
    enum Text1Index { kDataDa = 0, kDataA = 1, kPrimaCamera = 2, kUltimaCamera = 3 };
    enum TIndex { kCreaFile = 0, kEsci = 1, kInvia = 2 };
    enum Menu2Index { kPercorsoFile = 1, kComandoPaginaWeb = 2 };

    void Form_Load();
    void Form_Activate();
    void Text1_GotFocus(int index);
    // True when the key was handled and must not reach the field.
    bool Text1_KeyPress(int index, const QString& carattere);
    void T_Click(int index);
    void menu2_Click(int index);
    void menuCartella_Click();
    void addChecksMenu(QMenuBar* bar);
    QString selectionDescription() const;
    void runCardCheck();
    void runTaxReport();
    void editTaxRules();
    // Back to the window after a window of its own, the typed dates kept.
    void backKeepingDates();
    // True, after saying which field is wrong and why, when the typed range
    // is one the check and the tax report cannot mean.
    bool refusedRange();

    void createFile();
    void sendLines();
    void showProblem(const QString& question);
    // The platform's message box: text "TaxSetup.txt", title "!!!", exclamation.
    void warnSettingsMissing();
    void afterDialog();
    int fieldIndex(QObject* oggetto) const;

    std::unique_ptr<ProcessStarter> ownStarter_;
    ProcessStarter* starter_;
    Clock today_;
    std::function<QDateTime()> sendClock_ = [] { return QDateTime::currentDateTime(); };
    bool datesPreset_ = false;

    QWidget* area_;
    std::array<QLineEdit*, 4> text1_{};
    std::array<QLabel*, 4> label1_{};
    std::array<QWidget*, 4> shape1_{};
    std::array<QAbstractButton*, 3> t_{};
    LinesView* list1_;
    std::array<QAction*, 3> menu2_{};  // element 0 unused
    QAction* checkAllCards_ = nullptr;
    QAction* taxReport_ = nullptr;
    QAction* taxRules_ = nullptr;
};

}  // namespace ostelvia::ui
