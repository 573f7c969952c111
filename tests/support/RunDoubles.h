// Stand-ins for the window the export run talks to: a fixed room range and a
// reporter that records what the run would show.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "export/ExportRun.h"

namespace ostelvia::test {

class FixedRooms : public exporter::RoomSource {
public:
    QString first;
    QString last = QStringLiteral("ZZZZZZ");
    mutable int reads = 0;  // how often the run asked for the room range
    QString primaCamera() const override
    {
        ++reads;
        return first;
    }
    QString ultimaCamera() const override { return last; }
};

class RecordingReporter : public exporter::RunReporter {
public:
    int mostraMessaggio(const QString& messaggio, int pulsanti, const QString& titolo) override
    {
        messages.append(messaggio);
        styles.push_back(pulsanti);
        titles.append(titolo);
        return 0;
    }
    void avvisaImpostazioniMancanti() override { ++settingsWarnings; }

    QStringList messages;
    std::vector<int> styles;
    QStringList titles;
    int settingsWarnings = 0;
};

}  // namespace ostelvia::test
