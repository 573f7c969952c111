// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DialogLook.h"

#include <QAbstractButton>

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>

namespace ostelvia::ui {

namespace {

QFont Font(const QStringList& famiglie, qreal punti, bool grassetto)
{
    QFont font;
    font.setFamilies(famiglie);
    font.setPointSizeF(punti);
    font.setBold(grassetto);
    return font;
}

// A button with neither default nor autoDefault, or outside a dialog, ignores
// Enter; the tool wants Enter to press the focused button, like Space does.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() != QEvent::KeyPress)
            return false;
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        if (tasto->key() != Qt::Key_Return && tasto->key() != Qt::Key_Enter)
            return false;
        if (tasto->isAutoRepeat())
            return true;
        if (auto* pulsante = qobject_cast<QAbstractButton*>(oggetto); pulsante && pulsante->isEnabled())
            pulsante->click();
        return true;
    }
};

}  // namespace

void enterPressesButton(QAbstractButton* pulsante)
{
    pulsante->installEventFilter(new EnterPressesButton(pulsante));
}

QFont corbelFont(qreal punti, bool grassetto)
{
    return Font({QStringLiteral("Corbel"), QStringLiteral("Carlito")}, punti, grassetto);
}

QFont arialFont(qreal punti, bool grassetto)
{
    return Font({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, punti, grassetto);
}

QString textForDisplay(const QString& testo)
{
    QString righe = testo;
    righe.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    righe.replace(QChar(13), QChar(10));
    return righe;
}

void prepareTitle(QLabel* label)
{
    label->setTextFormat(Qt::PlainText);
    label->setFont(corbelFont(12, true));
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kDarkGreen);
    label->setPalette(palette);
}

void prepareTextBox(QTextEdit* text)
{
    text->setFrameShape(QFrame::NoFrame);
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setAcceptRichText(false);
    text->setFont(corbelFont(9.75));
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text->setLineWrapMode(QTextEdit::WidgetWidth);
    text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The rows are sized 300 twips each; the default margin would eat one.
    text->document()->setDocumentMargin(0);
    QPalette palette = text->palette();
    palette.setColor(QPalette::Text, kBlue);
    palette.setColor(QPalette::Base, Qt::white);
    text->setPalette(palette);
}

void showInTextBox(QTextEdit* text, const QString& testo)
{
    text->setPlainText(textForDisplay(testo));
    QTextOption opzione = text->document()->defaultTextOption();
    opzione.setAlignment(Qt::AlignHCenter);
    text->document()->setDefaultTextOption(opzione);
}

void prepareButton(QPushButton* pulsante)
{
    pulsante->setAutoDefault(false);
    pulsante->setDefault(false);
    pulsante->setFont(corbelFont(12));
    enterPressesButton(pulsante);
}

void paintBackground(QWidget* form)
{
    QPainter painter(form);
    painter.fillRect(form->rect(), Qt::white);
    QPen contorno(kDarkGreen);
    contorno.setWidth(2);
    contorno.setJoinStyle(Qt::MiterJoin);
    painter.setPen(contorno);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(form->rect()).adjusted(1, 1, -1, -1));
}

}  // namespace ostelvia::ui
