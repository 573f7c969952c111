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

void MostraCampi(QListWidget* lista, int riga)
{
    const QListWidgetItem* voce = lista->item(riga);
    if (!voce)
        return;
    VistaCampi vista(voce->text(), riga + 1, lista->window());
    vista.exec();
}

// In a list whose lines switch on each click, the first click of a
// double-click switches the line; this puts it back as it was before.
class SelezioneAlDoppioClic : public QObject {
public:
    explicit SelezioneAlDoppioClic(QListWidget* lista) : QObject(lista), lista_(lista)
    {
        lista->viewport()->installEventFilter(this);
        connect(lista, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* voce) {
            const int riga = lista_->row(voce);
            if (riga == riga_)
                voce->setSelected(selezionata_);
            MostraCampi(lista_, riga);
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* evento) override
    {
        if (evento->type() != QEvent::MouseButtonPress)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(evento);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const int riga = lista_->row(lista_->itemAt(mouse->position().toPoint()));
        // The second press of a double-click must not overwrite the state
        // before the first.
        const bool secondaPressione = riga == riga_ && orologio_.isValid()
                                      && orologio_.elapsed() <= QApplication::doubleClickInterval();
        if (!secondaPressione) {
            riga_ = riga;
            selezionata_ = riga >= 0 && lista_->item(riga)->isSelected();
        }
        orologio_.start();
        return false;
    }

private:
    QListWidget* lista_;
    QElapsedTimer orologio_;
    int riga_ = -1;
    bool selezionata_ = false;
};

}  // namespace

void CollegaVistaCampi(QListWidget* lista)
{
    new SelezioneAlDoppioClic(lista);
    lista->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(lista, &QWidget::customContextMenuRequested, lista, [lista](const QPoint& punto) {
        const int riga = lista->row(lista->itemAt(punto));
        if (riga < 0)
            return;
        QMenu menu(lista);
        QAction* campi = menu.addAction(QStringLiteral("Mostra i campi…"));
        campi->setObjectName(QStringLiteral("mostraCampi"));
        if (menu.exec(lista->viewport()->mapToGlobal(punto)) == campi)
            MostraCampi(lista, riga);
    });
}

QMenu* MenuVerifica(QMenuBar* barra)
{
    for (QAction* azione : barra->actions()) {
        if (azione->menu() && azione->text() == kVerifica)
            return azione->menu();
    }
    QMenu* verifica = barra->addMenu(kVerifica);
    verifica->setObjectName(QStringLiteral("menuVerifica"));
    return verifica;
}

QAction* AggiungiRiepilogo(QMenu* verifica, QListWidget* lista)
{
    QAction* riepilogo = verifica->addAction(QStringLiteral("&Riepilogo…"));
    riepilogo->setObjectName(QStringLiteral("riepilogo"));
    QObject::connect(riepilogo, &QAction::triggered, lista, [lista] {
        QStringList righe;
        QVector<int> selezionate;
        righe.reserve(lista->count());
        for (int i = 0; i < lista->count(); ++i) {
            righe.append(lista->item(i)->text());
            if (lista->item(i)->isSelected())
                selezionate.append(i);
        }
        Riepilogo vista(righe, selezionate, lista->window());
        vista.exec();
    });
    return riepilogo;
}

}  // namespace ostelvia::ui
