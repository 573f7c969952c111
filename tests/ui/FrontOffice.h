// SPDX-License-Identifier: GPL-3.0-or-later
// The main window in a scratch front-office directory, for the window tests:
// settings pointing the export inside the directory, a fixed day, and a
// process starter that only records.
#pragma once

#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>

#include "DialogAnswer.h"
#include "TestSupport.h"
#include "text/Cp1252.h"
#include "ui/main/MainWindow.h"

namespace ostelvia::test {

inline const QString kCommand = QStringLiteral("browser --new-window https://example.invalid/tassa");

class RecordingStarter : public ui::ProcessStarter {
public:
    bool startDetached(const QString& commandLine) override
    {
        if (onStart)
            onStart();
        started.append(commandLine);
        return succeeds;
    }
    QStringList started;
    bool succeeds = true;
    std::function<void()> onStart;  // runs as each command is started
};

inline QByteArray referenceBytes(const QString& name)
{
    return readBytes(fixtureDir() + QStringLiteral("/expected/") + name);
}

// Lines of a reference export file, split at CR LF.
inline QStringList referenceLines(const QString& name)
{
    return text::fromCp1252(referenceBytes(name)).split(QStringLiteral("\r\n"));
}

struct Front {
    explicit Front(QDate today = QDate(2024, 5, 10), const QString& command = kCommand)
    {
        exportPath = dir.filePath(QStringLiteral("ZaverUdevu.txt"));
        dir.writeSettings(exportPath, command);
        window = std::make_unique<ui::OstelviaDT>(&starter, [today] { return today; });
        window->show();
        window->activateWindow();
    }

    bool active() { return QTest::qWaitForWindowActive(window.get()); }

    // Text1 element i, found by its object name as the design numbers it.
    QLineEdit* field(int i) const { return window->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i)); }
    ui::LinesView* list() const { return window->linesList(); }
    int selectedCount() const { return static_cast<int>(list()->selectedRows().size()); }
    QStringList listed() const { return list()->lines().texts(); }

    void setDates(const QString& from, const QString& to)
    {
        field(0)->setText(from);
        field(1)->setText(to);
    }

    // Presses a button, answering "Ok" to every dialog it shows; returns
    // those dialogs.
    QList<DialogSeen> press(QAbstractButton* button)
    {
        DialogAnswer answer(QStringLiteral("T0"));
        button->click();
        return answer.seen();
    }

    // "&Crea File" over a range, the wide one by default.
    QList<DialogSeen> creaFile(const QString& from = QStringLiteral("01/01/2000"),
                               const QString& to = QStringLiteral("30/04/2024"))
    {
        setDates(from, to);
        return press(window->creaFileButton());
    }

    ScratchDir dir;
    RecordingStarter starter;
    QString exportPath;
    std::unique_ptr<ui::OstelviaDT> window;
};

}  // namespace ostelvia::test
