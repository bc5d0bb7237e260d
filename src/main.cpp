#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqt.h"
#include "core/terminationwatcher.h"
#include "core/utils.h"
#include "mainwindow/mainwindow.h"

#include <QScreen>

int main(int argc, char *argv[])
{
    DebugQt *logger = DebugQt::instance(DebugQt::StartupMask, nullptr);
    logger->emitFlag = true;
    // From here on a termination request waits for the event loop, which closes the window.
    TerminationWatcher::catchSignals();

    AppSettings::instance()->loadStartup();

    Application application(argc, argv);
    Application::loadTranslations(QStringLiteral(":/lang"));

    MainWindow window;
    if (AppSettings::instance()->applyCss)
        application.loadCss();

    // Centre the window on the screen's available area (task bars excluded).
    window.move(Utils::centeredPosition(window.screen()->availableGeometry(), window.size()));
    window.show();

    // A termination request stops the device pages' work and closes the window.
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &window,
                     &MainWindow::closeOnTermination);
    return application.exec();
}
