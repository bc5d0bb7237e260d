// The generic editor against a simulated device that answers at once: the time a read of the
// configuration spends in the editor's own work (the whole read less the same six transactions
// run bare; target: under 100 ms), and the time of a language change that refills the catalogue,
// the combo boxes and the table and shows the fields again (target: under 50 ms).
#include "core/appsettings.h"
#include "core/prompt.h"
#include "editor/defaultdevicewidget.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "tempworkdir.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The transactions of a configuration read, without the editor.
void bareRead(Device *device)
{
    for (int command : {8, 3, 50})
        device->readDevice(command);
    device->clearSlotVariables();
    for (int slot = 0; slot <= std::min(device->parameterInt(QStringLiteral("dev_variables_count")), 7); ++slot)
        device->setParameter(QStringLiteral("slot_%1_code").arg(slot), slot);
    device->writeDevice(9);
    device->readDevice(14);
    device->readDevice(15);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    Prompt::setHandler([](const Prompt::Request &) { return Prompt::Answer(); });
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    TempWorkDir work;
    AppSettings::instance();

    HartSimulator simulator;
    HartSimUniversalCommands::install(simulator);
    HartSimDevice simDevice(0);
    simDevice.deviceVariables = 7;
    for (int code = 0; code <= 7; ++code)
        simDevice.values.insert(QStringLiteral("variable_%1_value").arg(code), 1.0f + float(code));
    simulator.addDevice(simDevice);
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    if (!port->setSerialName(simulator.portName())) {
        std::fprintf(stderr, "cannot use %s\n", qPrintable(simulator.portName()));
        return 1;
    }
    port->hartPort.setProperty("response_timeout", 100);
    port->hartPort.setProperty("byte_timeout", 20);
    Device *device = port->createDevice(QStringLiteral("General"));
    port->insertChild(-1, device);
    device->checkDevice(QString(), QString(), true);

    DefaultDeviceWidget page(nullptr);
    page.setItem(device);
    page.showDeviceInfoInFields();
    page.onUpdateButtons(true);

    std::vector<double> bare, whole, language;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        timer.start();
        bareRead(device);
        bare.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        page.btnReadCfgFromDevice->click();
        whole.push_back(timer.nsecsElapsed() / 1e6);
        QEvent event(QEvent::LanguageChange);
        timer.start();
        QApplication::sendEvent(&page, &event);
        language.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("Configuration read: %.2f ms in all, %.2f ms on the line, %.2f ms in the editor (target < 100)\n",
                median(whole), median(bare), median(whole) - median(bare));
    std::printf("Language change: %.2f ms (target < 50)\n", median(language));
    return 0;
}
