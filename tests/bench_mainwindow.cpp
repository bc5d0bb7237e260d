// Loading a configuration of 16 ports with 16 devices each: the window builds one editor page
// per device. Prints the time from the window's construction until the tree is shown, and the
// process's resident memory before and after.
#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqt.h"
#include "mainwindow/mainwindow.h"

#include "tempworkdir.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>

#include <cstdio>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

QByteArray bigConfig(int ports, int devices)
{
    const QStringList templates{"General", "Zorvan-M", "Drumel-M", "Acivel-M"};
    QVariantList portMaps;
    for (int p = 0; p < ports; ++p) {
        QVariantList deviceMaps;
        for (int d = 0; d < devices; ++d) {
            deviceMaps.append(QVariantMap{{"name", QStringLiteral("d%1").arg(d)},
                                          {"template", templates.at(d % templates.size())},
                                          {"polling_address", d}});
        }
        portMaps.append(QVariantMap{{"name", QStringLiteral("Port %1").arg(p)}, {"devices", deviceMaps}});
    }
    return QJsonDocument::fromVariant(QVariantMap{{"srv", QVariantMap{{"ports", portMaps}}}}).toJson();
}

} // namespace

int main(int argc, char **argv)
{
    DebugQt::instance(0, nullptr);
    qInstallMessageHandler(quiet);
    TempWorkDir dir;
    AppSettings::instance()->loadStartup();
    Application application(argc, argv);
    Application::loadTranslations(QStringLiteral(":/lang"));

    const QString config = dir.filePath("big.cfg");
    TestFiles::write(config, bigConfig(16, 16));
    TestFiles::write(AppSettings::startupFileName(),
                     QJsonDocument::fromVariant(QVariantMap{{"cfg_filename", config}}).toJson());

    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    MainWindow window;
    window.show();
    QCoreApplication::processEvents();
    const qint64 shown = timer.elapsed();
    std::printf("256 editors: tree shown after %lld ms; resident memory %ld MiB before, %ld MiB after\n",
                static_cast<long long>(shown), before / 1024, residentKiB() / 1024);
    return 0;
}
