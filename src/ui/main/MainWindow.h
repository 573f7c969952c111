// OstelviaDT: the tool's main window. Date and room range, "&Crea File" to run
// the export and list the written lines, "&Invia" to write back the selected
// lines and start the send command, and the "Impostazioni" menu.
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "export/ExportRun.h"
#include "ui/main/ProcessStarter.h"

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;

namespace ostelvia::ui {

class OstelviaDT : public QWidget, public exporter::RoomSource, public exporter::RunReporter {
    Q_OBJECT

public:
    // avvio: how commands are started (the real one when null); oggi: the
    // clock behind the preset dates (today's date when empty).
    explicit OstelviaDT(ProcessStarter* avvio = nullptr, Orologio oggi = {}, QWidget* parent = nullptr);
    ~OstelviaDT() override;

    // Text1 elements 2 and 3, read live by the export run.
    QString primaCamera() const override;
    QString ultimaCamera() const override;

    int mostraMessaggio(const QString& messaggio, int pulsanti, const QString& titolo) override;
    void avvisaImpostazioniMancanti() override;

    // Controls by their element index.
    QLineEdit* text1(int index) const { return text1_.at(index); }
    QAbstractButton* t(int index) const { return t_.at(index); }
    QLabel* label1(int index) const { return label1_.at(index); }
    QListWidget* list1() const { return list1_; }
    QAction* menu2(int index) const { return menu2_.at(index); }
    // "&Verifica" > "&Controlla tutte le schede…".
    QAction* controllaTutteLeSchedeAction() const { return controllaTutte_; }

    // The client area below the menu bar.
    QWidget* area() const { return area_; }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void changeEvent(QEvent* evento) override;

private:
    void Form_Load();
    void Form_Activate();
    void Text1_GotFocus(int index);
    // True when the key was handled and must not reach the field.
    bool Text1_KeyPress(int index, const QString& carattere);
    void T_Click(int index);
    void menu2_Click(int index);
    void aggiungiMenuVerifica(QMenuBar* menuBar);
    void ControllaTutteLeSchede();

    void CreaFile();
    void Invia();
    void Segnala(const QString& messaggio);
    void DopoDialogo();
    int indiceCampo(QObject* oggetto) const;

    std::unique_ptr<ProcessStarter> avvioProprio_;
    ProcessStarter* avvio_;
    Orologio oggi_;

    QWidget* area_;
    std::array<QLineEdit*, 4> text1_{};
    std::array<QLabel*, 4> label1_{};
    std::array<QWidget*, 4> shape1_{};
    std::array<QAbstractButton*, 3> t_{};
    QListWidget* list1_;
    std::array<QAction*, 3> menu2_{};  // element 0 unused
    QAction* controllaTutte_ = nullptr;
};

}  // namespace ostelvia::ui
