// ostelvia: the reception tool's window. Started without arguments in the
// front-office program's directory.
#include <QApplication>

#include <clocale>

#include "ui/main/MainWindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Qt sets the locale from the environment; numbers read from the
    // databases and written to the export file use a decimal point.
    std::setlocale(LC_NUMERIC, "C");

    ostelvia::ui::OstelviaDT finestra;
    finestra.show();
    finestra.activateWindow();
    return app.exec();
}
