// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "checks/DateRoutines.h"
#include "checks/TypedRange.h"
#include "export/CardCheck.h"
#include "export/PresenceRecord.h"
#include "export/TaxReport.h"
#include "export/TextFiles.h"
#include "platform/Platform.h"
#include "text/Blanks.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/MsgBoxForm.h"
#include "ui/dialogs/OverrideCursor.h"
#include "ui/dialogs/Twips.h"
#include "ui/main/CheckProgressView.h"
#include "ui/main/CheckReportWindow.h"
#include "ui/main/CodeListView.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/FrontOfficeFolder.h"
#include "ui/main/ListReview.h"
#include "ui/main/SendCheck.h"
#include "ui/main/SendRetention.h"
#include "ui/main/Settings.h"
#include "ui/main/TaxReportWindow.h"
#include "ui/main/TaxRulesDialog.h"

namespace ostelvia::ui {

namespace {

const QString kCaption = QStringLiteral("Esportazione file per Imposta di Soggiorno (Ostelvia)");
const QString kSendCheckTitle = QStringLiteral("Controllo prima dell'invio");
const QColor kBackground(192, 192, 255);
const QColor kLightYellow(255, 255, 192);
const QColor kShapeOutline(72, 72, 160);

constexpr int kAreaWidth = 10470;
constexpr int kAreaHeight = 4335;
constexpr int kMaxLength = 10;

// Shape1: a filled rectangle behind a text box, a little larger than it.
class ShapeFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(kShapeOutline);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QFont courierFont(qreal punti)
{
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(punti);
    return font;
}

// The picture of "&Esci": a red disc with a white cross, drawn at 48 x 48.
QIcon exitIcon()
{
    QPixmap immagine(48, 48);
    immagine.fill(Qt::transparent);
    QPainter painter(&immagine);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(140, 20, 20), 2));
    painter.setBrush(QColor(210, 45, 45));
    painter.drawEllipse(QRectF(3, 3, 42, 42));
    QPen croce(Qt::white, 6, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(croce);
    painter.drawLine(QPointF(16, 16), QPointF(32, 32));
    painter.drawLine(QPointF(32, 16), QPointF(16, 32));
    painter.end();
    QIcon icona;
    icona.addPixmap(immagine);
    return icona;
}

bool startsWithHeader(const exporter::ExportLines& righe)
{
    return righe.size() > 0 && righe.at(0) == exporter::kHeaderLine;
}

// The selected rows with the header's row among them: the municipality
// refuses a file without its header line, whatever the clerk clicked off.
QVector<int> withHeader(const exporter::ExportLines& righe, QVector<int> selezionate)
{
    if (startsWithHeader(righe) && (selezionate.isEmpty() || selezionate.first() != 0))
        selezionate.prepend(0);
    return selezionate;
}

}  // namespace

OstelviaDT::OstelviaDT(ProcessStarter* avvio, Clock oggi, QWidget* parent)
    : QWidget(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::CustomizeWindowHint),
      starter_(avvio),
      today_(oggi ? std::move(oggi) : Clock(today))
{
    if (!starter_) {
        ownStarter_ = std::make_unique<DetachedProcessStarter>();
        starter_ = ownStarter_.get();
    }
    setObjectName(QStringLiteral("OstelviaDT"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_QuitOnClose);

    const qreal dpi = ScreenInTwips(screen()).dpi;
    auto posiziona = [dpi](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(TwipsToPixels(TwipRect{left, top, width, height}, dpi));
    };

    auto* menuBar = new QMenuBar(this);
    auto* impostazioni = menuBar->addMenu(QStringLiteral("Impostazioni"));
    impostazioni->setObjectName(QStringLiteral("menu1"));
    menu2_[1] = impostazioni->addAction(QStringLiteral("Percorso creazione file ZaverUdevu.txt"));
    menu2_[2] = impostazioni->addAction(QStringLiteral("Impostazione apertura pagina web "));
    for (int i = 1; i <= 2; ++i) {
        menu2_[i]->setObjectName(QStringLiteral("menu2_%1").arg(i));
        connect(menu2_[i], &QAction::triggered, this, [this, i] { menu2_Click(i); });
    }
    auto* cartella = impostazioni->addAction(kVoceCartella);
    cartella->setObjectName(QStringLiteral("menuCartella"));
    connect(cartella, &QAction::triggered, this, [this] { menuCartella_Click(); });
    taxRules_ = impostazioni->addAction(QStringLiteral("Regole dell'imposta di soggiorno…"));
    taxRules_->setObjectName(QStringLiteral("regoleImposta"));
    connect(taxRules_, &QAction::triggered, this, &OstelviaDT::editTaxRules);
    auto* conservazione = impostazioni->addAction(kVoceConservazione);
    conservazione->setObjectName(QStringLiteral("menuConservazione"));
    connect(conservazione, &QAction::triggered, this, [this] {
        // A dialog of the tool's own: the typed dates stay.
        const QString problema = askRetentionMonths();
        if (!problema.isEmpty())
            showError(problema);
        backKeepingDates();
    });

    area_ = new QWidget(this);
    area_->setObjectName(QStringLiteral("area"));
    area_->setFixedSize(TwipsToPixels(kAreaWidth, dpi), TwipsToPixels(kAreaHeight, dpi));
    area_->setAutoFillBackground(true);
    QPalette sfondo = area_->palette();
    sfondo.setColor(QPalette::Window, kBackground);
    area_->setPalette(sfondo);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(area_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Shapes first, so that the text boxes lie above them.
    const std::array<TwipRect, 4> forme{TwipRect{1440, 240, 1935, 495}, TwipRect{1440, 840, 1095, 495},
                                        TwipRect{1440, 1440, 1095, 495}, TwipRect{4440, 240, 1935, 495}};
    for (int i = 0; i < 4; ++i) {
        shape1_[i] = new ShapeFrame(area_);
        shape1_[i]->setObjectName(QStringLiteral("Shape1_%1").arg(i));
        shape1_[i]->setGeometry(TwipsToPixels(forme[i], dpi));
    }

    struct LabelPlace {
        QString testo;
        TwipRect rect;
    };
    const std::array<LabelPlace, 4> etichette{LabelPlace{QStringLiteral("Dalla data"), {120, 360, 1260, 255}},
                                              LabelPlace{QStringLiteral("Alla data"), {3480, 360, 900, 255}},
                                              LabelPlace{QStringLiteral("Alla camera"), {120, 1560, 1380, 255}},
                                              LabelPlace{QStringLiteral("Dalla camera"), {120, 960, 1260, 255}}};
    for (int i = 0; i < 4; ++i) {
        label1_[i] = new QLabel(etichette[i].testo, area_);
        label1_[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label1_[i]->setTextFormat(Qt::PlainText);
        label1_[i]->setFont(corbelFont(11.25));
        label1_[i]->setAutoFillBackground(false);
        label1_[i]->setAttribute(Qt::WA_TranslucentBackground);
        label1_[i]->setGeometry(TwipsToPixels(etichette[i].rect, dpi));
    }

    struct FieldPlace {
        QString testo;
        TwipRect rect;
        Qt::Alignment allineamento;
    };
    const std::array<FieldPlace, 4> campi{
        FieldPlace{QStringLiteral("24/04/2013"), {1560, 360, 1695, 285}, Qt::AlignCenter},
        FieldPlace{QStringLiteral("24/04/2013"), {4560, 360, 1695, 285}, Qt::AlignCenter},
        // The room boxes fill their shapes (the designed 855 twips cut the
        // preset "ZZZZZZ" in Arial 12); both are white, so the look is the same.
        FieldPlace{QString(), {1470, 960, 1035, 288}, Qt::AlignCenter},
        FieldPlace{QStringLiteral("ZZZZZZ"), {1470, 1560, 1035, 288}, Qt::AlignRight | Qt::AlignVCenter}};
    for (int i = 0; i < 4; ++i) {
        auto* campo = new QLineEdit(campi[i].testo, area_);
        campo->setObjectName(QStringLiteral("Text1_%1").arg(i));
        campo->setMaxLength(kMaxLength);
        campo->setFrame(false);
        campo->setAlignment(campi[i].allineamento);
        campo->setFont(arialFont(12));
        campo->setTextMargins(0, 0, 0, 0);
        QPalette bianco = campo->palette();
        bianco.setColor(QPalette::Base, Qt::white);
        bianco.setColor(QPalette::Text, Qt::black);
        campo->setPalette(bianco);
        campo->setGeometry(TwipsToPixels(campi[i].rect, dpi));
        campo->installEventFilter(this);
        text1_[i] = campo;
    }

    auto* crea = new QPushButton(QStringLiteral("&Crea File"), area_);
    auto* invia = new QPushButton(QStringLiteral("&Invia"), area_);
    auto* esci = new QToolButton(area_);
    esci->setText(QStringLiteral("&Esci"));
    esci->setIcon(exitIcon());
    esci->setIconSize(QSize(48, 48));
    esci->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    esci->setAutoRaise(false);
    esci->setFocusPolicy(Qt::StrongFocus);
    QPalette bianco = esci->palette();
    bianco.setColor(QPalette::Button, Qt::white);
    esci->setPalette(bianco);
    esci->setAutoFillBackground(true);
    t_ = {crea, esci, invia};
    const std::array<int, 3> sinistre{5640, 8760, 7200};
    for (int i = 0; i < 3; ++i) {
        t_[i]->setObjectName(QStringLiteral("T%1").arg(i));
        t_[i]->setFont(corbelFont(12, i == 1));
        posiziona(t_[i], sinistre[i], 840, 1515, 1140);
        // Enter in the last room field hands the focus to "&Crea File" expecting
        // Enter there to press it.
        enterPressesButton(t_[i]);
        connect(t_[i], &QAbstractButton::clicked, this, [this, i] { T_Click(i); });
    }
    crea->setAutoDefault(false);
    invia->setAutoDefault(false);

    list1_ = new LinesView(area_);
    list1_->setObjectName(QStringLiteral("List1"));
    list1_->setSelectionMode(QAbstractItemView::MultiSelection);
    list1_->setFont(courierFont(9.75));
    list1_->setUniformItemSizes(true);
    QPalette giallo = list1_->palette();
    giallo.setColor(QPalette::Base, kLightYellow);
    list1_->setPalette(giallo);
    posiziona(list1_, 120, 2040, 10215, 2220);
    connectFieldView(list1_);
    addChecksMenu(menuBar);

    // Tab order by tab index: Text1(0), Text1(2), Text1(3), "&Crea File",
    // "&Esci", List1, "&Invia", Text1(1).
    const std::array<QWidget*, 8> ordine{dataDaField(), primaCameraField(), ultimaCameraField(), creaFileButton(),
                                         esciButton(),  linesList(),        inviaButton(),       dataAField()};
    for (size_t i = 0; i + 1 < ordine.size(); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);

    Form_Load();
}

OstelviaDT::~OstelviaDT() = default;

QString OstelviaDT::firstRoom() const
{
    return primaCameraField()->text();
}

QString OstelviaDT::lastRoom() const
{
    return ultimaCameraField()->text();
}

void OstelviaDT::warnSettingsMissing()
{
    const OverrideCursor freccia(Qt::ArrowCursor);
    QMessageBox avviso(QMessageBox::Warning, QStringLiteral("!!!"), QStringLiteral("TaxSetup.txt"), QMessageBox::Ok,
                       this);
    avviso.exec();
    afterDialog();
}

void OstelviaDT::showProblem(const QString& messaggio)
{
    showError(messaggio);
    afterDialog();
}

void OstelviaDT::afterDialog()
{
    // One of the tool's own dialogs has closed over the window: that is an
    // activation, and it presets the dates. The dialogs have no owner window,
    // and without a window manager (or with a reluctant one) nothing hands the
    // activation back: ask for it.
    Form_Activate();
    if (isVisible())
        activateWindow();
}

void OstelviaDT::Form_Load()
{
    adjustSize();
    if (const QScreen* schermo = screen()) {
        const QRect intero = schermo->geometry();
        move(intero.left() + (intero.width() - width()) / 2, intero.top() + (intero.height() - height()) / 2);
    }
    try {
        CaricaImpostazioni();
    } catch (const Error& errore) {
        showProblem(errore.message());
    }
    checks::InizializzaGiorniMese();
}

void OstelviaDT::Form_Activate()
{
    const QString ieri = yesterdayText(today_);
    dataDaField()->setText(ieri);
    dataAField()->setText(ieri);
}

void OstelviaDT::showEvent(QShowEvent* evento)
{
    // The first activation. Later ones come from the tool's own dialogs
    // (afterDialog); coming back from another program, from the code list's
    // viewer for one, must keep the dates the clerk typed.
    if (!datesPreset_) {
        datesPreset_ = true;
        Form_Activate();
    }
    QWidget::showEvent(evento);
}

int OstelviaDT::fieldIndex(QObject* oggetto) const
{
    for (int i = 0; i < 4; ++i) {
        if (text1_[i] == oggetto)
            return i;
    }
    return -1;
}

bool OstelviaDT::eventFilter(QObject* oggetto, QEvent* evento)
{
    const int index = fieldIndex(oggetto);
    if (index < 0)
        return QWidget::eventFilter(oggetto, evento);
    if (evento->type() == QEvent::FocusIn) {
        Text1_GotFocus(index);
    } else if (evento->type() == QEvent::KeyPress) {
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        QString carattere = tasto->text();
        if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter)
            carattere = QString(QChar(13));
        if (!carattere.isEmpty())
            return Text1_KeyPress(index, carattere);
    }
    return false;
}

void OstelviaDT::Text1_GotFocus(int index)
{
    // After the event loop turn: a mouse click that gave the focus would
    // otherwise place the cursor and drop the selection.
    QLineEdit* campo = text1_[index];
    QTimer::singleShot(0, campo, [campo] {
        if (campo->hasFocus())
            campo->setSelection(0, static_cast<int>(campo->text().size()));
    });
}

bool OstelviaDT::Text1_KeyPress(int index, const QString& carattere)
{
    if (carattere == QString(QChar(13))) {
        QLineEdit* campo = text1_[index];
        QString testo = campo->text();
        QString pulito = checks::PulisciCampo(testo);
        switch (index) {
        case kDataDa: {
            QString data = checks::NormalizzaData(pulito);
            campo->setText(data);
            if (checks::ControllaData(data) == 1) {
                dataAField()->setFocus(Qt::OtherFocusReason);
            } else {
                campo->clear();
                campo->setFocus(Qt::OtherFocusReason);
            }
            break;
        }
        case kDataA: {
            QString data = checks::NormalizzaData(pulito);
            campo->setText(data);
            if (checks::ControllaData(data) != 1) {
                campo->clear();
                break;
            }
            QString prima = dataDaField()->text();
            QString ultima = campo->text();
            if (checks::ConfrontaDate(prima, ultima) == 1)
                primaCameraField()->setFocus(Qt::OtherFocusReason);
            else
                dataDaField()->clear();
            break;
        }
        case kPrimaCamera:
            campo->setText(pulito);
            ultimaCameraField()->setFocus(Qt::OtherFocusReason);
            break;
        default:
            campo->setText(pulito);
            creaFileButton()->setFocus(Qt::OtherFocusReason);
            break;
        }
        return true;
    }
    if (carattere == QStringLiteral("+")) {
        bool avviata = false;
        {
            const OverrideCursor occupato;
            avviata = CreaListaPS(*starter_);
        }
        if (!avviata)
            afterDialog();
    }
    // The "+" still goes into the field like any other character.
    return false;
}

void OstelviaDT::T_Click(int index)
{
    switch (index) {
    case kCreaFile:
        createFile();
        break;
    case kEsci:
        close();
        break;
    default:
        sendLines();
        break;
    }
}

void OstelviaDT::createFile()
{
    using Outcome = exporter::RunSummary::Outcome;
    const OverrideCursor occupato;
    const exporter::RunSummary esito = exporter::CreaFileTassa(dataDaField()->text(), dataAField()->text(), *this);
    // A run that did not complete leaves the list as it was.
    switch (esito.outcome) {
    case Outcome::SettingsMissing:
        warnSettingsMissing();
        return;
    case Outcome::StoppedOnCard:
    case Outcome::Failed:
        // "Try again in a few seconds" means with the same dates: that
        // message is the tool's own, and leaves them as typed.
        if (esito.tryAgain) {
            showError(esito.message);
            return backKeepingDates();
        }
        showProblem(esito.message);
        return;
    case Outcome::Completed:
        break;
    }
    exporter::ExportLines righe;
    try {
        righe = exporter::ExportLines::read(exporter::readExportPath());
    } catch (const Error& errore) {
        showProblem(errore.message());
        return;
    }
    list1_->setLines(std::move(righe));
    list1_->selectAllLines();
}

void OstelviaDT::sendLines()
{
    // The selection in the list's order: the file keeps the lines' order.
    const exporter::ExportLines& righe = list1_->lines();
    const QVector<int> selezionate = withHeader(righe, list1_->selectedRows());
    // Both questions ask whether to do what cannot be taken back: "No" is
    // the default. They are no activation that presets the dates: a "No"
    // leaves the clerk's range as typed for the next try.
    const YesNoQuestion chiedi = [this](const QString& domanda) {
        const bool si = confirmWithNoByDefault(domanda, kSendCheckTitle);
        if (isVisible())
            activateWindow();
        return si;
    };
    // Compared before anything is written: "No" leaves everything as it was.
    QStringList nonCopie;
    if (!confirmSend(righe, selezionate, chiedi, &nonCopie))
        return;
    QString percorso;
    try {
        percorso = exporter::readExportPath();
        exporter::removeLeftoverScratch();
        // From the bytes the list holds: a long export is never held a
        // second time. The lines hold no line end of their own, so dropping
        // the last CR LF is RimuoviUltimoACapo's rewrite, and the export
        // file is the old one or the whole new one, never a piece.
        exporter::LineWriter file(percorso);
        // A list without its header (nothing created yet) still sends one.
        if (!startsWithHeader(righe))
            file.writeLine(exporter::kHeaderLine);
        righe.writeTo(file, selezionate);
        file.close(exporter::LastLineEnd::Dropped);
    } catch (const Error& errore) {
        // Nothing went out: the window stays so that the user can retry.
        showProblem(errore.message());
        return;
    }
    const QDateTime ora = sendClock_();
    if (!archiveSend(percorso, ora, chiedi))
        return;
    // Copies past the months the hotel keeps them go now, and the clerk
    // learns how many.
    if (const QString rimosse = removeExpiredSends(ora, nonCopie); !rimosse.isEmpty()) {
        MostraMessaggio(rimosse, Stile::Ok, kTitoloConservazione);
        afterDialog();
    }
    // The file is written and kept: a command that does not start (a
    // browser the system no longer has) is told, with where to change it,
    // and the tool ends as after any send.
    if (!text::trimBlanks(ComandoPaginaWeb).isEmpty() && !starter_->startDetached(ComandoPaginaWeb)) {
        showProblem(QStringLiteral("Il file è stato scritto, ma non è stato possibile avviare il programma \"%1\" "
                                   "del comando \"%2\". Il comando si cambia da Impostazioni › %3.")
                        .arg(platform::programOf(ComandoPaginaWeb), ComandoPaginaWeb, menu2_[2]->text().trimmed()));
    }
    close();
}

void OstelviaDT::menu2_Click(int index)
{
    try {
        MenuImpostazioni(index);
    } catch (const Error& errore) {
        showProblem(errore.message());
    }
    afterDialog();
}

void OstelviaDT::menuCartella_Click()
{
    // The folder chooser is no dialog of the tool's own: the dates stay as
    // typed unless a message dialog closes over the window.
    const FolderOutcome esito = changeFolder(this);
    if (esito.kind == FolderOutcome::Kind::Failed)
        showProblem(esito.error);
    if (esito.kind != FolderOutcome::Kind::Chosen)
        return;
    // The listed lines and the settings belong to the folder left behind.
    list1_->clearLines();
    try {
        CaricaImpostazioni();
    } catch (const Error& errore) {
        showProblem(errore.message());
    }
}

// "&Verifica": the check of every card, then the totals of the listed lines.
void OstelviaDT::addChecksMenu(QMenuBar* barra)
{
    QMenu* verifica = checksMenu(barra);
    checkAllCards_ = verifica->addAction(QStringLiteral("&Controlla tutte le schede…"));
    checkAllCards_->setObjectName(QStringLiteral("controllaTutteLeSchede"));
    connect(checkAllCards_, &QAction::triggered, this, &OstelviaDT::runCardCheck);
    taxReport_ = verifica->addAction(QStringLiteral("Rendiconto dell'&imposta…"));
    taxReport_->setObjectName(QStringLiteral("rendicontoImposta"));
    connect(taxReport_, &QAction::triggered, this, &OstelviaDT::runTaxReport);
    addTotalsAction(verifica, list1_);
}

// The departures and rooms the four fields select, as a report heads them.
QString OstelviaDT::selectionDescription() const
{
    // The room fields as preset select every room: say so rather than
    // show the bounds.
    const bool tutte = text::trimBlanks(firstRoom()).isEmpty() && lastRoom() == QStringLiteral("ZZZZZZ");
    const QString camere = tutte ? QStringLiteral("tutte le camere")
                                 : QStringLiteral("camere da \"%1\" a \"%2\"").arg(firstRoom(), lastRoom());
    return QStringLiteral("Partenze dal %1 al %2, %3").arg(text1_[kDataDa]->text(), text1_[kDataA]->text(), camere);
}

namespace {

// The period in the proposed name, with dashes: a file name holds no "/"
// (nor, on the front office's system, any of the others).
QString csvNameWithPeriod(const QString& what, const QString& dataDa, const QString& dataA)
{
    QString nome = QStringLiteral("%1 %2 %3.csv").arg(what, dataDa, dataA);
    nome.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    return text::blankControls(nome);
}

}  // namespace

// The export's selection on the four fields as they stand, every card
// checked, the report shown over the window.
void OstelviaDT::runCardCheck()
{
    if (refusedRange())
        return;
    const QString dataDa = text1_[kDataDa]->text();
    const QString dataA = text1_[kDataA]->text();
    const QString periodo = selectionDescription();
    exporter::CheckReport rapporto;
    try {
        CheckProgressView progresso(this);
        rapporto =
            exporter::checkAllCards(dataDa, dataA, *this, [&progresso](int schede) { progresso.cardsChecked(schede); });
    } catch (const CheckCancelled&) {
        // Stopped by the clerk: nothing to report, the window as it was.
        return;
    } catch (const Error& errore) {
        showError(errore.message());
        return backKeepingDates();
    }
    CheckReportWindow finestra(std::move(rapporto), periodo, this);
    finestra.setCsvName(csvNameWithPeriod(QStringLiteral("Controllo schede"), dataDa, dataA));
    finestra.exec();
    // The report is no dialog of the tool's own: the dates stay as typed.
    backKeepingDates();
}

// "Crea File" passes the dates as typed; the check and the report count
// what they mean, and "1/3/2024" would find nothing and report zeros. The
// message names the field as the window labels it, and the dates stay.
bool OstelviaDT::refusedRange()
{
    const checks::RangeProblem problema = checks::typedRangeProblem(dataDaField()->text(), dataAField()->text());
    if (!problema)
        return false;
    const bool primo = problema.end == checks::RangeEnd::From;
    showError(QStringLiteral("\"%1\": %2.").arg(label1_[primo ? 0 : 1]->text(), problema.reason));
    QLineEdit* campo = primo ? dataDaField() : dataAField();
    backKeepingDates();
    campo->setFocus(Qt::OtherFocusReason);
    campo->selectAll();
    return true;
}

void OstelviaDT::backKeepingDates()
{
    if (isVisible())
        activateWindow();
}

// The tax report of the four fields as they stand, under the rules of
// "ImpostaSoggiorno.txt"; the dates stay as typed, for the next report.
void OstelviaDT::runTaxReport()
{
    if (refusedRange())
        return;
    const QString dataDa = text1_[kDataDa]->text();
    const QString dataA = text1_[kDataA]->text();
    const QString periodo = selectionDescription();
    exporter::TaxReport rapporto;
    try {
        const exporter::TaxRules regole = exporter::readTaxRules();
        CheckProgressView progresso(this);
        progresso.setTexts(QStringLiteral("Rendiconto dell'imposta"), QStringLiteral("1 scheda letta"),
                           QStringLiteral("%1 schede lette"));
        rapporto = exporter::reportTax(dataDa, dataA, *this, regole,
                                       [&progresso](int schede) { progresso.cardsChecked(schede); });
    } catch (const CheckCancelled&) {
        return backKeepingDates();
    } catch (const Error& errore) {
        showError(errore.message());
        return backKeepingDates();
    }
    TaxReportWindow finestra(std::move(rapporto), periodo, this);
    finestra.setCsvName(csvNameWithPeriod(QStringLiteral("Rendiconto imposta"), dataDa, dataA));
    finestra.exec();
    backKeepingDates();
}

void OstelviaDT::editTaxRules()
{
    QStringList comuni;
    try {
        const OverrideCursor occupato;
        comuni = exporter::municipalityNames();
    } catch (const Error&) {
        // The names only help the typing; "Salva" checks the name all the same.
    }
    TaxRulesDialog dialogo(comuni, this);
    dialogo.exec();
    backKeepingDates();
}

}  // namespace ostelvia::ui
