// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/CheckReportWindow.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include "export/CheckOutput.h"
#include "export/RecordLayout.h"
#include "export/TextFiles.h"
#include "text/Blanks.h"
#include "text/Error.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/main/ErrorMessage.h"
#include "ui/main/ReportParts.h"
#include "ui/main/ShownText.h"
#include "ui/main/WindowFit.h"

namespace ostelvia::ui {

namespace {

const QString kTitolo = QStringLiteral("Controllo delle schede");
constexpr int kMaxColumnWidth = 380;
constexpr int kRoomColumn = 1;
constexpr int kCardNumberColumn = 2;
constexpr int kArrivalColumn = 4;
constexpr int kDepartureColumn = 5;
constexpr int kProblemColumn = 6;
// Where a row keeps the card and the problem line it shows.
constexpr int kCardRole = Qt::UserRole;
constexpr int kProblemRole = Qt::UserRole + 1;
constexpr int kSortRole = Qt::UserRole + 2;

// dd/mm/yyyy as yyyymmdd, so that dates compare as written; anything else
// (an empty date, a broken one) before every date, as text.
QString dateKey(const QString& date)
{
    static const QRegularExpression kDate(QStringLiteral("^(\\d\\d)/(\\d\\d)/(\\d{4})$"));
    const QRegularExpressionMatch match = kDate.match(date);
    if (!match.hasMatch())
        return QStringLiteral("0") + date;
    return QStringLiteral("1") + match.captured(3) + match.captured(2) + match.captured(1);
}

// Whole numbers by value, ahead of the texts that are not numbers.
QString numberKey(const QString& number)
{
    const QString trimmed = text::trimBlanks(number);
    bool ok = false;
    const qulonglong value = trimmed.toULongLong(&ok);
    if (!ok)
        return QStringLiteral("1") + number;
    return QStringLiteral("0") + QStringLiteral("%1").arg(value, 20, 10, QLatin1Char('0'));
}

// A cell that sorts by its key when it has one.
class ReportCell : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;

    bool operator<(const QTableWidgetItem& other) const override
    {
        const QVariant mine = data(kSortRole);
        const QVariant theirs = other.data(kSortRole);
        if (mine.isValid() && theirs.isValid())
            return mine.toString() < theirs.toString();
        return QTableWidgetItem::operator<(other);
    }
};

// "(campo 38: X)" of a record that does not fit, with the field's name:
// "(campo 38 (Sesso): X)". The saved lines keep the run's words.
QString withFieldName(const QString& problem)
{
    static const QRegularExpression field(QStringLiteral("^Tracciato record errato \\(campo (\\d+):"));
    const QRegularExpressionMatch match = field.match(problem);
    const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
    if (number < 1 || number > exporter::kFieldCount)
        return problem;
    const QString name = QString::fromUtf16(exporter::recordLayout()[static_cast<size_t>(number - 1)].description);
    return QString(problem).insert(match.capturedEnd(1), QStringLiteral(" (%1)").arg(name));
}

// A date the card left empty shows as empty, not as its bare slashes.
QString shownCell(int column, const QString& value)
{
    if ((column == kArrivalColumn || column == kDepartureColumn) && value == QStringLiteral("//"))
        return {};
    if (column == kProblemColumn)
        return text::blankControls(withFieldName(value));
    return text::blankControls(value);
}

}  // namespace

CheckReportWindow::CheckReportWindow(exporter::CheckReport report, const QString& periodo, QWidget* parent)
    : QDialog(parent),
      report_(std::move(report)),
      period_(periodo),
      csvName_(QStringLiteral("Controllo schede.csv")),
      askPath_([this](QWidget* parent) { return chooseCsvPath(parent, csvName_); }),
      askPrinter_(choosePrinter)
{
    setObjectName(QStringLiteral("CheckReportWindow"));
    setWindowTitle(kTitolo);
    setModal(true);

    auto* intestazione = reportLabel(text::blankControls(period_), QStringLiteral("period"), false, this);
    totals_ = reportLabel(exporter::totalsLine(report_.totals), QStringLiteral("totals"), true, this);

    const std::vector<QStringList> righe = exporter::checkRows(report_);
    table_ = new QTableWidget(static_cast<int>(righe.size()), static_cast<int>(exporter::kCheckColumns.size()), this);
    table_->setObjectName(QStringLiteral("table"));
    table_->setHorizontalHeaderLabels(exporter::kCheckColumns);
    setUpReadOnlyTable(table_);
    int riga = 0;
    for (int scheda = 0; scheda < static_cast<int>(report_.cards.size()); ++scheda) {
        const int problemi = static_cast<int>(report_.cards[static_cast<size_t>(scheda)].problems.size());
        for (int problema = 0; problema < problemi; ++problema, ++riga) {
            const QStringList& celle = righe[static_cast<size_t>(riga)];
            for (int colonna = 0; colonna < celle.size(); ++colonna) {
                const QString& valore = celle.at(colonna);
                auto* cella = new ReportCell(shownCell(colonna, valore));
                cella->setToolTip(plainToolTip(valore));
                if (colonna == kArrivalColumn || colonna == kDepartureColumn)
                    cella->setData(kSortRole, dateKey(valore));
                else if (colonna == kRoomColumn || colonna == kCardNumberColumn)
                    cella->setData(kSortRole, numberKey(valore));
                if (colonna == 0) {
                    cella->setData(kCardRole, scheda);
                    cella->setData(kProblemRole, problema);
                }
                table_->setItem(riga, colonna, cella);
            }
        }
    }
    // Filled first, sorted after: the rows keep the order the check met them
    // until the clerk clicks a heading.
    // The indicator first: Qt 5 sorts by its first column the moment sorting
    // is enabled.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    // A long problem line keeps the suggestions in sight; its tool tip has it whole.
    for (int colonna = 0; colonna < table_->columnCount(); ++colonna)
        table_->setColumnWidth(colonna, std::min(table_->columnWidth(colonna), kMaxColumnWidth));
    table_->horizontalHeader()->setStretchLastSection(true);

    const ReportButtons pulsanti = addReportButtons(this);
    saveCsv_ = pulsanti.saveCsv;
    print_ = pulsanti.print;
    close_ = pulsanti.close;
    connect(saveCsv_, &QPushButton::clicked, this, &CheckReportWindow::saveCsv);
    connect(print_, &QPushButton::clicked, this, &CheckReportWindow::printReport);

    QHBoxLayout* ordine = addSortByKeyboard();
    // A problem line cut by its column is read whole here, by keyboard too.
    detail_ = reportLabel(QString(), QStringLiteral("detail"), false, this);
    detail_->setTextFormat(Qt::PlainText);
    detail_->setWordWrap(true);
    detail_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { showDetail(row); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intestazione);
    layout->addWidget(totals_);
    layout->addWidget(table_, 1);
    layout->addLayout(ordine);
    layout->addWidget(detail_);
    layout->addLayout(pulsanti.row);
    setTabOrder(table_, sortColumn_);
    setTabOrder(sortColumn_, descending_);
    setTabOrder(descending_, saveCsv_);
    fitToScreen(this, QSize(1240, 600));
    if (table_->rowCount() > 0)
        table_->setCurrentCell(0, 0);
}

// The headings sort by mouse; "Ordina per" and "Decrescente" do the same by
// keyboard, and follow the headings when they are clicked.
QHBoxLayout* CheckReportWindow::addSortByKeyboard()
{
    sortColumn_ = new QComboBox(this);
    sortColumn_->setObjectName(QStringLiteral("sortColumn"));
    sortColumn_->addItems(exporter::kCheckColumns);
    sortColumn_->setPlaceholderText(QStringLiteral("ordine del controllo"));
    sortColumn_->setCurrentIndex(-1);
    descending_ = new QCheckBox(QStringLiteral("&Decrescente"), this);
    descending_->setObjectName(QStringLiteral("descending"));
    auto* etichetta = new QLabel(QStringLiteral("&Ordina per:"), this);
    etichetta->setBuddy(sortColumn_);
    const auto ordina = [this] {
        if (sortColumn_->currentIndex() >= 0)
            table_->horizontalHeader()->setSortIndicator(
                sortColumn_->currentIndex(), descending_->isChecked() ? Qt::DescendingOrder : Qt::AscendingOrder);
    };
    connect(sortColumn_, qOverload<int>(&QComboBox::currentIndexChanged), this, ordina);
    connect(descending_, &QCheckBox::toggled, this, ordina);
    connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int colonna, Qt::SortOrder verso) {
                const QSignalBlocker bloccaColonna(sortColumn_);
                const QSignalBlocker bloccaVerso(descending_);
                sortColumn_->setCurrentIndex(colonna);
                descending_->setChecked(verso == Qt::DescendingOrder);
            });
    auto* riga = new QHBoxLayout;
    riga->addWidget(etichetta);
    riga->addWidget(sortColumn_);
    riga->addWidget(descending_);
    riga->addStretch();
    return riga;
}

void CheckReportWindow::showDetail(int row)
{
    const QTableWidgetItem* problema = row >= 0 ? table_->item(row, kProblemColumn) : nullptr;
    const QTableWidgetItem* suggerimenti = row >= 0 ? table_->item(row, kProblemColumn + 1) : nullptr;
    if (!problema) {
        detail_->clear();
        return;
    }
    QString testo = QStringLiteral("Problema: ") + problema->text();
    if (suggerimenti && !suggerimenti->text().isEmpty())
        testo += QStringLiteral("\nSuggerimenti: ") + suggerimenti->text();
    detail_->setText(testo);
}

void CheckReportWindow::showFailure(const QString& messaggio)
{
    showError(messaggio);
}

void CheckReportWindow::saveCsv()
{
    const QString percorso = askPath_ ? askPath_(this) : QString();
    if (percorso.isEmpty())
        return;
    try {
        exporter::writeCheckCsv(percorso, reportAsShown());
    } catch (const Error& errore) {
        showFailure(errore.message());
    }
}

exporter::CheckReport CheckReportWindow::reportAsShown() const
{
    exporter::CheckReport shown;
    shown.totals = report_.totals;
    for (int riga = 0; riga < table_->rowCount(); ++riga) {
        const QTableWidgetItem* cella = table_->item(riga, 0);
        const auto scheda = static_cast<size_t>(cella->data(kCardRole).toInt());
        const auto problema = static_cast<size_t>(cella->data(kProblemRole).toInt());
        exporter::CheckedCard card = report_.cards.at(scheda);
        card.problems = {report_.cards.at(scheda).problems.at(problema)};
        shown.cards.push_back(std::move(card));
    }
    return shown;
}

QString CheckReportWindow::printableHtml() const
{
    QString html = QStringLiteral("<html><body><h3>%1</h3><p>%2<br><b>%3</b></p>")
                       .arg(kTitolo.toHtmlEscaped(), period_.toHtmlEscaped(),
                            exporter::totalsLine(report_.totals).toHtmlEscaped());
    if (table_->rowCount() > 0) {
        // The heading row repeats on every page; the cells keep their runs
        // of blanks, which can be what is wrong with a field.
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><thead><tr>");
        for (const QString& colonna : exporter::kCheckColumns)
            html += QStringLiteral("<th>%1</th>").arg(colonna.toHtmlEscaped());
        html += QStringLiteral("</tr></thead>");
        for (int riga = 0; riga < table_->rowCount(); ++riga) {
            html += QStringLiteral("<tr>");
            for (int colonna = 0; colonna < table_->columnCount(); ++colonna) {
                const QTableWidgetItem* cella = table_->item(riga, colonna);
                html += QStringLiteral("<td style=\"white-space:pre-wrap\">%1</td>")
                            .arg(cella ? cella->text().toHtmlEscaped() : QString());
            }
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html + QStringLiteral("</body></html>");
}

void CheckReportWindow::printReport()
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageOrientation(QPageLayout::Landscape);
    stampante.setDocName(kTitolo);
    if (!askPrinter_ || !askPrinter_(stampante, this))
        return;
    if (!printHtml(stampante, printableHtml(), arialFont(8)))
        showFailure(QStringLiteral("Impossibile stampare il controllo delle schede."));
}

}  // namespace ostelvia::ui
