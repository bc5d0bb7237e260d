// Time of one command-0 transaction to a simulated device that answers at once, against the
// pauses the line protocol itself demands: 5 ms before the write, the turnaround pause for the
// request frame, and the byte timeout that ends the reply.
#include "hartcomm/hartport.h"
#include "hartsimulator.h"
#include "hartcomm/portthread.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;

    HartSimulator simulator;
    simulator.addDevice(HartSimDevice(0));
    HartPort port(nullptr, simulator.portName());
    if (!port.open()) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(simulator.portName()), qPrintable(port.errorText));
        return 1;
    }

    QByteArray data;
    port.sendZeroCommand(0, data, true);   // warm-up
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!port.sendZeroCommand(0, data, true)) {
            std::fprintf(stderr, "transaction failed: %s\n", qPrintable(port.errorText));
            return 1;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;

    const int frameBytes = int(port.request.size());
    const int byteTimeout = port.property("byte_timeout").toInt();
    const int pauses = 5 + PortThread::turnaroundMs(frameBytes) + byteTimeout;
    const double median = times[times.size() / 2];
    std::printf("command-0 transaction, %d rounds, request frame %d bytes\n", rounds, frameBytes);
    std::printf("  min %.2f ms, median %.2f ms, mean %.2f ms, max %.2f ms\n", times.front(), median,
                sum / times.size(), times.back());
    std::printf("  protocol pauses: 5 + %d (turnaround) + %d (byte timeout) = %d ms\n",
                PortThread::turnaroundMs(frameBytes), byteTimeout, pauses);
    std::printf("  overhead (median - pauses): %.2f ms\n", median - pauses);
    return 0;
}
