// The export run: selects the guest cards of a date and room range from the
// current and the history guest database, validates each, and writes the
// export file (header, one record per card, no line break after the last).
#pragma once

#include <QString>

#include "export/CardSelection.h"

namespace ostelvia::exporter {

// How the run speaks to the user.
class RunReporter {
public:
    virtual ~RunReporter() = default;
    // The tool's message dialog; returns the answer code.
    virtual int mostraMessaggio(const QString& messaggio, int pulsanti, const QString& titolo) = 0;
    // The platform's message box: text "TaxSetup.txt", title "!!!", exclamation.
    virtual void avvisaImpostazioniMancanti() = 0;
};

inline const QString kFine = QStringLiteral("Fine");
inline const QString kTitoloErrore = QStringLiteral("Errore per Tassa di Soggiorno");
inline constexpr int kStileErrore = 48;

// The run's status text: the last card's findings; "Fine" when the run stopped.
extern QString MessaggioErrore;

struct RunSummary {
    enum class Outcome { Completed, StoppedOnCard, Failed, SettingsMissing };
    Outcome outcome = Outcome::Completed;
    int recordsWritten = 0;
    QString exportPath;
};

// dataDa / dataA: dd/mm/yyyy texts, used as they stand.
RunSummary CreaFileTassa(const QString& dataDa, const QString& dataA, const RoomSource& camere,
                         RunReporter& reporter);

}  // namespace ostelvia::exporter
