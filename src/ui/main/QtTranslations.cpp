// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "compat/QtCompat.h"

namespace ostelvia::ui {

bool loadQtItalian(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    // "qt_it" gathers the catalogues of every Qt module that has one.
    if (!translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qt"), QStringLiteral("_"),
                          compat::qtTranslationsFolder())) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace ostelvia::ui
