// SPDX-License-Identifier: GPL-3.0-or-later
// Card data as the windows show it: control characters as blanks, and never
// read as markup.
#pragma once

#include <QString>

#include "text/Blanks.h"

namespace ostelvia::ui {

// A tool tip of card data. A tool tip is read as rich text when it looks
// like markup; escaped inside a paragraph, a name such as "<b>EMILIA</b>"
// shows its brackets, and runs of blanks stay as they are.
inline QString plainToolTip(const QString& value)
{
    return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text::blankControls(value).toHtmlEscaped());
}

}  // namespace ostelvia::ui
