#include "application.h"
#include "appsettings.h"
#include "debugqt.h"
#include "mainwindow.h"
#include "utils.h"

#include <QScreen>

int main(int argc, char *argv[])
{
    DebugQt *logger = DebugQt::instance(DebugQt::StartupMask, nullptr);
    logger->emitFlag = true;

    AppSettings::instance()->loadStartup();

    Application application(argc, argv);
    Application::loadTranslations(QStringLiteral(":/lang"));

    MainWindow window;
    if (AppSettings::instance()->applyCss)
        application.loadCss();

    // Centre the window on the screen's available area (task bars excluded).
    window.move(Utils::centeredPosition(window.screen()->availableGeometry(), window.size()));
    window.show();
    return application.exec();
}
