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

class VistaCampi : public QDialog {
    Q_OBJECT

public:
    // numeroRiga: the line's number in the list, counted from 1.
    VistaCampi(const QString& riga, int numeroRiga, QWidget* parent = nullptr);

    QLabel* intestazione() const { return intestazione_; }
    QLabel* avviso() const { return avviso_; }
    QTableWidget* campi() const { return campi_; }

    enum Colonna { Numero, Contenuto, Posizioni, Larghezza, Valore, Significato };

private:
    void riempiCampi(const QStringList& valori);

    QLabel* intestazione_;
    QLabel* avviso_;
    QTableWidget* campi_;
};

// Blanks shown as middle dots, so that a value's width can be seen.
QString SpaziVisibili(const QString& valore);

}  // namespace ostelvia::ui
