// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ErrorMessage.h"

#include "ui/dialogs/MsgBoxForm.h"

namespace ostelvia::ui {

void showError(const QString& message)
{
    MostraMessaggio(message, Stile::Errore, kTitoloErrore);
}

}  // namespace ostelvia::ui
