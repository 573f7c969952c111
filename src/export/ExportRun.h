// SPDX-License-Identifier: GPL-3.0-or-later
// The export run: selects the guest cards of a date and room range from the
// current and the history guest database, validates each, and writes the
// export file (header, one record per card, no line break after the last).
#pragma once

#include <QString>

#include "export/CardSelection.h"

namespace ostelvia::exporter {

inline const QString kFine = QStringLiteral("Fine");

// The run's status text: the last card's findings; "Fine" when the run stopped.
extern QString MessaggioErrore;

// How a run ended, in the run's own terms; the caller decides how to show it.
struct RunSummary {
    enum class Outcome {
        Completed,        // the export file is complete
        StoppedOnCard,    // a card's findings, or a record that does not fit, stopped it
        Failed,           // a database or file failure ended it; the export file is as before the run
        SettingsMissing,  // no "TaxSetup.txt": nothing was done
    };
    Outcome outcome = Outcome::Completed;
    // What to tell the user when it stopped or failed (naming the file); else empty.
    QString message;
    int recordsWritten = 0;
    QString exportPath;
    // Failed only because the front office kept saving meanwhile: the same
    // run, tried again in a few seconds, should go through.
    bool tryAgain = false;
};

// dataDa / dataA: dd/mm/yyyy texts, used as they stand.
RunSummary CreaFileTassa(const QString& dataDa, const QString& dataA, const RoomSource& camere);

}  // namespace ostelvia::exporter
