#include "ui/main/ErrorMessage.h"

#include "ui/dialogs/MsgBoxForm.h"

namespace ostelvia::ui {

void showError(const QString& message)
{
    MostraMessaggio(message, 48, kTitoloErrore);
}

}  // namespace ostelvia::ui
