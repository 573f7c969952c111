// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/TaxRulesDialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "checks/TypedRange.h"
#include "export/TaxReport.h"
#include "export/TextFiles.h"
#include "text/Blanks.h"
#include "text/Error.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/MsgBoxForm.h"

namespace ostelvia::ui {

namespace {

const QString kTitolo = QStringLiteral("Regole dell'imposta di soggiorno");

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

// What to ask before saving rules that are valid but seldom meant: a tariff
// of 0 and seasons that share nights (where the later one wins). Empty when
// there is nothing to ask.
QString doubtfulRules(const exporter::TaxRules& rules)
{
    QStringList doubts;
    if (rules.tariffCents == 0)
        doubts << QStringLiteral("La tariffa fuori dalle stagioni è 0: quelle notti non pagano nulla.");
    for (size_t i = 0; i < rules.seasons.size(); ++i) {
        if (rules.seasons[i].cents == 0)
            doubts << QStringLiteral("La stagione %1 ha una tariffa di 0: le sue notti non pagano nulla.").arg(i + 1);
    }
    for (const auto& [first, second] : exporter::overlappingSeasons(rules)) {
        doubts << QStringLiteral("Le stagioni %1 e %2 si sovrappongono: nei giorni comuni vale la %2.")
                      .arg(first + 1)
                      .arg(second + 1);
    }
    if (doubts.isEmpty())
        return {};
    return doubts.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\nSalvare comunque queste regole?");
}

}  // namespace

TaxRulesDialog::TaxRulesDialog(QStringList municipalities, QWidget* parent)
    : QDialog(parent),
      municipalities_(std::move(municipalities))
{
    setObjectName(QStringLiteral("TaxRulesDialog"));
    setWindowTitle(kTitolo);
    setModal(true);
    setFont(corbelFont(11.25));

    tariff_ = new QLineEdit(this);
    tariff_->setObjectName(QStringLiteral("tariff"));
    tariff_->setMaxLength(13);
    tariff_->setPlaceholderText(QStringLiteral("es. 3,50"));
    tariff_->setToolTip(QStringLiteral("Euro a persona per notte, fuori dalle stagioni"));

    seasons_ = new QTableWidget(0, 3, this);
    seasons_->setObjectName(QStringLiteral("seasons"));
    seasons_->setHorizontalHeaderLabels(
        {QStringLiteral("Dal (GG/MM/AAAA)"), QStringLiteral("Al (GG/MM/AAAA)"), QStringLiteral("Euro per notte")});
    seasons_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    seasons_->verticalHeader()->setVisible(false);
    seasons_->setSelectionBehavior(QAbstractItemView::SelectRows);
    seasons_->setTabKeyNavigation(false);
    seasons_->setToolTip(QStringLiteral("Dove le stagioni si sovrappongono vale l'ultima della tabella"));
    seasons_->setMinimumHeight(150);

    addSeason_ = new QPushButton(QStringLiteral("A&ggiungi stagione"), this);
    removeSeason_ = new QPushButton(QStringLiteral("&Rimuovi stagione"), this);
    addSeason_->setObjectName(QStringLiteral("addSeason"));
    removeSeason_->setObjectName(QStringLiteral("removeSeason"));
    connect(addSeason_, &QPushButton::clicked, this, [this] {
        addSeasonRow(QString(), QString(), QString());
        seasons_->setCurrentCell(seasons_->rowCount() - 1, 0);
        seasons_->setFocus();
        seasons_->editItem(seasons_->item(seasons_->rowCount() - 1, 0));
    });
    connect(removeSeason_, &QPushButton::clicked, this, [this] {
        const int row = seasons_->currentRow();
        if (row >= 0)
            seasons_->removeRow(row);
    });

    age_ = new QSpinBox(this);
    age_->setObjectName(QStringLiteral("exemptAge"));
    age_->setRange(0, 999);
    age_->setSpecialValueText(QStringLiteral("nessuna esenzione"));
    age_->setSuffix(QStringLiteral(" anni"));
    age_->setToolTip(QStringLiteral("Chi all'arrivo ha meno di questi anni non paga"));

    nights_ = new QSpinBox(this);
    nights_->setObjectName(QStringLiteral("maxNights"));
    nights_->setRange(0, 9999);
    nights_->setSpecialValueText(QStringLiteral("nessun limite"));
    nights_->setSuffix(QStringLiteral(" notti"));
    nights_->setToolTip(QStringLiteral("Si pagano solo le prime notti di ogni soggiorno"));

    municipality_ = new QLineEdit(this);
    municipality_->setObjectName(QStringLiteral("residentsMunicipality"));
    municipality_->setMaxLength(60);
    municipality_->setPlaceholderText(QStringLiteral("nessuno"));
    municipality_->setToolTip(QStringLiteral("I residenti in questo comune non pagano"));
    auto* completer = new QCompleter(municipalities_, municipality_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchStartsWith);
    municipality_->setCompleter(completer);
    // While its list is open the completer takes every key and hands it to
    // the municipality field, even after the focus has moved on (a mnemonic,
    // a click): close the list as the focus leaves, so typing goes where the
    // focus is.
    connect(qApp, &QApplication::focusChanged, this, [this, completer](QWidget* old, QWidget* now) {
        if (old == municipality_ && now != municipality_ && completer->popup()->isVisible())
            completer->popup()->hide();
    });

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setTextFormat(Qt::PlainText);
    problem_->setWordWrap(true);
    QPalette rosso = problem_->palette();
    rosso.setColor(QPalette::WindowText, QColor(170, 0, 0));
    problem_->setPalette(rosso);

    save_ = new QPushButton(QStringLiteral("&Salva"), this);
    cancel_ = new QPushButton(QStringLiteral("&Annulla"), this);
    save_->setObjectName(QStringLiteral("save"));
    cancel_->setObjectName(QStringLiteral("cancel"));
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &TaxRulesDialog::save);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    auto* tariffLabel = new QLabel(QStringLiteral("&Tariffa (euro):"), this);
    tariffLabel->setBuddy(tariff_);
    form->addRow(tariffLabel, tariff_);
    auto* ageLabel = new QLabel(QStringLiteral("&Età esente sotto i:"), this);
    ageLabel->setBuddy(age_);
    form->addRow(ageLabel, age_);
    auto* nightsLabel = new QLabel(QStringLiteral("&Notti tassate al più:"), this);
    nightsLabel->setBuddy(nights_);
    form->addRow(nightsLabel, nights_);
    auto* municipalityLabel = new QLabel(QStringLiteral("&Comune dei residenti esenti:"), this);
    municipalityLabel->setBuddy(municipality_);
    form->addRow(municipalityLabel, municipality_);

    auto* seasonsLabel = new QLabel(QStringLiteral("Stagi&oni con una tariffa propria:"), this);
    seasonsLabel->setBuddy(seasons_);
    auto* seasonButtons = new QHBoxLayout;
    seasonButtons->addWidget(addSeason_);
    seasonButtons->addWidget(removeSeason_);
    seasonButtons->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(seasonsLabel);
    layout->addWidget(seasons_, 1);
    layout->addLayout(seasonButtons);
    layout->addWidget(problem_);
    layout->addLayout(buttons);

    setTabOrder(tariff_, age_);
    setTabOrder(age_, nights_);
    setTabOrder(nights_, municipality_);
    setTabOrder(municipality_, seasons_);
    setTabOrder(seasons_, addSeason_);
    setTabOrder(addSeason_, removeSeason_);
    setTabOrder(removeSeason_, save_);
    setTabOrder(save_, cancel_);

    if (exporter::fileExists(exporter::kFileRegoleImposta))
        load();
    resize(560, 560);
    tariff_->setFocus();
}

// Every right line of the file is in the form; the first wrong one is named
// above the buttons, so one typo costs retyping one value.
void TaxRulesDialog::load()
{
    exporter::TaxRulesReading reading;
    try {
        reading = exporter::readTaxRulesLeniently();
    } catch (const Error& error) {
        problem_->setText(error.message());
        return;
    }
    fill(reading.rules);
    if (!reading.tariffRead)
        tariff_->clear();
    if (reading.problem.isEmpty())
        return;
    const QString rest = reading.problemLine > 0
        ? QStringLiteral(" Le altre righe sono nel modulo; salvando, il file è sostituito da queste regole.")
        : QStringLiteral(" Salvando, il file è sostituito da queste regole.");
    problem_->setText(reading.problem + rest);
}

void TaxRulesDialog::fill(const exporter::TaxRules& rules)
{
    tariff_->setText(exporter::eurosText(rules.tariffCents));
    for (const exporter::TaxSeason& season : rules.seasons)
        addSeasonRow(dateText(season.first), dateText(season.last), exporter::eurosText(season.cents));
    age_->setValue(rules.exemptAge);
    nights_->setValue(rules.maxNights);
    municipality_->setText(rules.residentMunicipality);
}

void TaxRulesDialog::addSeasonRow(const QString& first, const QString& last, const QString& amount)
{
    const int row = seasons_->rowCount();
    seasons_->insertRow(row);
    seasons_->setItem(row, 0, new QTableWidgetItem(first));
    seasons_->setItem(row, 1, new QTableWidgetItem(last));
    seasons_->setItem(row, 2, new QTableWidgetItem(amount));
}

std::optional<exporter::TaxRules> TaxRulesDialog::rulesInForm()
{
    auto refuse = [this](QWidget* where, const QString& why) -> std::optional<exporter::TaxRules> {
        problem_->setText(why);
        where->setFocus();
        return std::nullopt;
    };
    exporter::TaxRules rules;
    const QString tariffText = tariff_->text().trimmed();
    if (const QString why = exporter::eurosProblem(tariffText); !why.isEmpty())
        return refuse(tariff_,
                      QStringLiteral("Tariffa: %1. Scriverla in euro con al più due decimali, es. 3,50.").arg(why));
    rules.tariffCents = *exporter::parseEuros(tariffText);
    for (int row = 0; row < seasons_->rowCount(); ++row) {
        const QString firstText = cellText(seasons_, row, 0);
        const QString lastText = cellText(seasons_, row, 1);
        const QString amountText = cellText(seasons_, row, 2);
        if (firstText.isEmpty() && lastText.isEmpty() && amountText.isEmpty())
            continue;  // a row added and left empty
        const QString which = QStringLiteral("Stagione %1, ").arg(row + 1);
        // The range's own check says which of the two dates is wrong and why.
        const checks::RangeProblem range = checks::typedRangeProblem(firstText, lastText);
        if (range) {
            const bool primo = range.end == checks::RangeEnd::From;
            seasons_->setCurrentCell(row, primo ? 0 : 1);
            return refuse(seasons_,
                          which + (primo ? QStringLiteral("\"Dal\": ") : QStringLiteral("\"Al\": ")) + range.reason
                              + QLatin1Char('.'));
        }
        if (const QString why = exporter::eurosProblem(amountText); !why.isEmpty()) {
            seasons_->setCurrentCell(row, 2);
            return refuse(seasons_, which + QStringLiteral("\"Euro per notte\": %1.").arg(why));
        }
        rules.seasons.push_back({*exporter::parseTypedDate(firstText), *exporter::parseTypedDate(lastText),
                                 *exporter::parseEuros(amountText)});
    }
    rules.exemptAge = age_->value();
    rules.maxNights = nights_->value();
    rules.residentMunicipality = municipality_->text().trimmed();
    if (!rules.residentMunicipality.isEmpty()) {
        bool known = false;
        try {
            known = exporter::knownMunicipality(rules.residentMunicipality);
        } catch (const Error& error) {
            return refuse(municipality_, error.message());
        }
        if (!known) {
            return refuse(municipality_,
                          QStringLiteral("Il comune \"%1\" non è nella tabella dei codici.")
                              .arg(text::shownInMessage(rules.residentMunicipality)));
        }
    }
    problem_->clear();
    return rules;
}

void TaxRulesDialog::save()
{
    const std::optional<exporter::TaxRules> rules = rulesInForm();
    if (!rules)
        return;
    if (const QString doubts = doubtfulRules(*rules); !doubts.isEmpty() && !confirmWithNoByDefault(doubts, kTitolo))
        return;
    try {
        exporter::writeTaxRules(*rules);
    } catch (const Error& error) {
        problem_->setText(error.message());
        return;
    }
    accept();
}

}  // namespace ostelvia::ui
