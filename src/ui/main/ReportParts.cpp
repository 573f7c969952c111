// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ReportParts.h"

#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

#include "ui/dialogs/DialogLook.h"

namespace ostelvia::ui {

ReportButtons addReportButtons(QDialog* window)
{
    ReportButtons buttons{new QPushButton(QStringLiteral("&Salva CSV…"), window),
                          new QPushButton(QStringLiteral("S&tampa…"), window),
                          new QPushButton(QStringLiteral("&Chiudi"), window), new QHBoxLayout};
    buttons.saveCsv->setObjectName(QStringLiteral("saveCsv"));
    buttons.print->setObjectName(QStringLiteral("print"));
    buttons.close->setObjectName(QStringLiteral("closeButton"));
    buttons.row->addStretch();
    for (QPushButton* button : {buttons.saveCsv, buttons.print, buttons.close}) {
        button->setFont(corbelFont(11.25));
        button->setAutoDefault(false);
        buttons.row->addWidget(button);
    }
    QObject::connect(buttons.close, &QPushButton::clicked, window, &QDialog::accept);
    return buttons;
}

QLabel* reportLabel(const QString& text, const QString& objectName, bool bold, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setFont(corbelFont(11.25, bold));
    return label;
}

QString chooseCsvPath(QWidget* parent, const QString& proposedName)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Salva CSV"), proposedName,
                                        QStringLiteral("File CSV (*.csv)"));
}

bool choosePrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    return dialog.exec() == QDialog::Accepted;
}

bool printHtml(QPrinter& printer, const QString& html, const QFont& font)
{
    QTextDocument document;
    document.setDefaultFont(font);
    document.setHtml(html);
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

}  // namespace ostelvia::ui
