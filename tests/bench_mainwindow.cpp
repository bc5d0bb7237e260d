// Loading a large configuration: the window builds one editor page per device. The devices are
// identified ones (device ID, tag, descriptor, ranges) of all four templates, taken in turn.
// Prints the time from the window's construction until the tree is shown, the time of an Open of
// the same file from the running window, the time of closing the window, and the process's
// resident memory after each of them.
//
//     bench_mainwindow [ports] [devices per port]      (16 16 when not given)
#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqt.h"
#include "core/prompt.h"
#include "mainwindow/mainwindow.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include "tempworkdir.h"
#include "testfiles.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTimer>

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

// What an identification leaves in a device's parameter map, with a unique address per device.
void identify(Device *device, int number)
{
    QByteArray id(3, '\0');
    id[0] = char(number >> 16);
    id[1] = char(number >> 8);
    id[2] = char(number);
    device->setParameter(QStringLiteral("address"), QByteArray::fromHex("26e0") + id);
    device->setParameter(QStringLiteral("deviceID"), id);
    device->setParameter(QStringLiteral("tag"), QStringLiteral("TAG%1").arg(number));
    device->setParameter(QStringLiteral("descriptor"), QStringLiteral("DESCRIPTOR %1").arg(number));
    device->setParameter(QStringLiteral("date"), QDate(2026, 1, 1 + number % 28));
    device->setParameter(QStringLiteral("message"), QStringLiteral("MESSAGE OF DEVICE %1").arg(number));
    device->setParameter(QStringLiteral("final_assembly_number"), 1000 + number);
    device->setParameter(QStringLiteral("universal_cmd_version"), 7);
    device->setParameter(QStringLiteral("preambles_count"), 5);
    device->setParameter(QStringLiteral("damping_time"), 1.5f);
    device->setParameter(QStringLiteral("range_min"), 0.0f);
    device->setParameter(QStringLiteral("range_max"), 100.0f);
    device->setParameter(QStringLiteral("write_protection"), 0);
}

QByteArray bigConfig(int ports, int devices)
{
    const QStringList templates{"General", "Zorvan-M", "Drumel-M", "Acivel-M"};
    Server holder;
    auto *server = new Server(&holder);
    holder.insertChild(0, server);
    for (int p = 0; p < ports; ++p) {
        Port *port = server->addPort(QStringLiteral("Port %1").arg(p), -1);
        for (int d = 0; d < devices; ++d) {
            Device *device = port->addDevice(QStringLiteral("d%1").arg(d), templates.at(d % templates.size()), -1);
            device->setAddress(d % 64);
            identify(device, p * devices + d);
        }
    }
    return QJsonDocument::fromVariant(QVariantMap{{"srv", server->save()}}).toJson();
}

double mib(long kib)
{
    return double(kib) / 1024.0;
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
    const QStringList arguments = QCoreApplication::arguments();
    const int ports = arguments.size() > 1 ? arguments.at(1).toInt() : 16;
    const int devices = arguments.size() > 2 ? arguments.at(2).toInt() : 16;
    const int pages = ports * devices;

    const QString config = dir.filePath(QStringLiteral("big.cfg"));
    TestFiles::write(config, bigConfig(ports, devices));
    TestFiles::write(AppSettings::startupFileName(),
                     QJsonDocument::fromVariant(QVariantMap{{"cfg_filename", config}}).toJson());
    Prompt::setHandler([&config](const Prompt::Request &request) {
        Prompt::Answer answer;
        answer.button = QMessageBox::Yes;
        if (request.kind == Prompt::OpenFile)
            answer.text = config;
        return answer;
    });

    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    auto *window = new MainWindow;
    const qint64 built = timer.elapsed();
    window->show();
    QCoreApplication::processEvents();
    const qint64 shown = timer.elapsed();
    const long loaded = residentKiB();
    std::printf("%d ports x %d devices = %d editors\n", ports, devices, pages);
    std::printf("load:   tree shown after %lld ms (window built after %lld ms); resident %.0f MiB before, "
                "%.0f MiB after: %.0f MiB added, %.2f MiB per editor\n",
                static_cast<long long>(shown), static_cast<long long>(built), mib(before), mib(loaded),
                mib(loaded - before), mib(loaded - before) / pages);

    // The remaining steps run from the event loop, as the user's Open and Close do.
    qint64 reopened = 0;
    const auto closeWindow = [&] {
        const long after = residentKiB();
        std::printf("reopen: tree shown again after %lld ms; resident %.0f MiB (%+.0f MiB against the first load)\n",
                    static_cast<long long>(reopened), mib(after), mib(after - loaded));
        timer.restart();
        window->close();
        delete window;
        const qint64 closed = timer.elapsed();
        std::printf("close:  window closed and destroyed after %lld ms; resident %.0f MiB\n",
                    static_cast<long long>(closed), mib(residentKiB()));
        QCoreApplication::quit();
    };
    QTimer::singleShot(0, [&] {
        timer.restart();
        window->open();
        QCoreApplication::processEvents();
        reopened = timer.elapsed();
        // Measured once the loop has run what the Open left for it.
        QTimer::singleShot(0, closeWindow);
    });
    Application::exec();
    return 0;
}
