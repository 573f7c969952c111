// SPDX-License-Identifier: GPL-3.0-or-later
// How long the archive of sends keeps a copy: a number of months in the
// user's settings (beside the front-office folder), 60 unless
// changed from "Impostazioni", 0 for ever. The copies hold guests' personal
// data, which the hotel must not keep longer than needed.
#pragma once

#include <QDateTime>
#include <QString>

namespace ostelvia::ui {

inline const QString kVoceConservazione = QStringLiteral("Conservazione degli invii\u2026");
inline const QString kTitoloConservazione = QStringLiteral("Conservazione degli invii");
inline const QString kChiaveConservazione = QStringLiteral("MesiConservazioneInvii");

// The months set, or the default when none (or no usable number) is.
int retentionMonths();
// The reason the months could not be stored, or empty.
QString setRetentionMonths(int mesi);

// The menu command: asks for the months in the input dialog and stores
// them. "Annulla" changes nothing. Returns what to tell the user when the
// answer is no number of months or cannot be stored, else empty.
QString askRetentionMonths();

// Removes the archive's copies older than the months set, but the files the
// send found to be no copy (`spared`); returns what to tell the clerk, or
// empty when none went.
QString removeExpiredSends(const QDateTime& now, const QStringList& spared = {});

}  // namespace ostelvia::ui
