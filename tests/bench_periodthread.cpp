// The polling thread against a simulated device that answers at once: how many reads a period
// of 500 ms gives in 10 s (the target is 20, give or take one: no backlog and no extra reads),
// and how long stopThread takes with the worker asleep (target: within 50 ms) and during a read
// (target: the rest of the read plus 50 ms).
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "measure/periodthread.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

// Runs the event loop (the polling timer lives in it) for the given time.
void runFor(int ms)
{
    QTimer::singleShot(ms, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

void printTimes(const char *title, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("  %s: min %.2f ms, median %.2f ms, max %.2f ms (%zu rounds)\n", title, times.front(),
                times[times.size() / 2], times.back(), times.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    HartSimulator simulator;
    HartSimUniversalCommands::install(simulator);
    simulator.addDevice(HartSimDevice(0));
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    if (!port->setSerialName(simulator.portName())) {
        std::fprintf(stderr, "cannot use %s\n", qPrintable(simulator.portName()));
        return 1;
    }
    Device *device = port->createDevice(QStringLiteral("General"));
    port->insertChild(-1, device);

    PeriodThread thread;
    std::atomic<int> maps{0};
    QObject::connect(&thread, &PeriodThread::responsePV, &thread, [&](const QVariantMap &) { ++maps; },
                     Qt::DirectConnection);
    // The end of each read as the worker logs it, on one clock with the stop.
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> readEndedAt{0};
    QObject::connect(device, &Device::modbusMessage, device, [&](int, const QString &line) {
        if (line.startsWith(QLatin1String("Success")) || line.contains(QLatin1String("Error (processing")))
            readEndedAt = clock.elapsed();
    }, Qt::DirectConnection);

    // Reads in 10 s at 500 ms.
    thread.setDevice(device, 500);
    runFor(10000);
    thread.stopThread();
    const int reads = simulator.requestCount();
    std::printf("polling at 500 ms for 10 s: %d reads, %d maps (target 20 +- 1)\n", reads, maps.load());

    // Stop with the worker asleep: a read has ended, the next tick is far away.
    std::vector<double> asleep;
    for (int i = 0; i < rounds; ++i) {
        thread.setDevice(device, 60000);
        runFor(400);
        QElapsedTimer stop;
        stop.start();
        thread.stopThread();
        asleep.push_back(stop.nsecsElapsed() / 1e6);
    }

    // Stop during a read that is 300 ms from its answer.
    std::vector<double> beyondRead;
    std::vector<double> whole;
    HartSimFaults slow;
    slow.replyDelayMs = 300;
    simulator.setFaults(slow);
    port->hartPort.setProperty("response_timeout", 1000);
    for (int i = 0; i < rounds; ++i) {
        const int before = simulator.requestCount();
        thread.setDevice(device, 60000);
        while (simulator.requestCount() == before)
            QThread::msleep(1);
        const qint64 stopAt = clock.elapsed();
        thread.stopThread();
        const qint64 stoppedAt = clock.elapsed();
        whole.push_back(double(stoppedAt - stopAt));
        beyondRead.push_back(double(stoppedAt - readEndedAt.load()));
    }

    std::printf("stopThread\n");
    printTimes("worker asleep (target within 50 ms)", asleep);
    printTimes("during a read, whole wait", whole);
    printTimes("during a read, beyond the end of the read (target within 50 ms)", beyondRead);
    return 0;
}
