#pragma once

#include "hartsimdevice.h"
#include "hartsimfaults.h"
#include "hartsimrequest.h"
#include "hartsimresponse.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

// A HART slave line for tests: serves the master side of a pseudo-terminal pair on its own
// thread, while the program opens the slave side (portName()) with a real QSerialPort.
//
// Devices (HartSimDevice) are found by polling address (short frames) or unique address (long
// frames). Each command is answered by the handler registered for its number, which gets the
// addressed device's state and the request data and returns response code, status and data;
// command 0 answers the identity, a command without handler answers response code 64 (not
// implemented). Faults (HartSimFaults) make the line misbehave; every request is recorded with
// its time and preamble count, whether the simulator answered it or not.
//
//     HartSimulator sim;
//     sim.addDevice(HartSimDevice(0));
//     sim.setHandler(1, [](HartSimDevice &device, const QByteArray &) {
//         HartSimResponse response;
//         response.data = device.values.value(QStringLiteral("pv_bytes")).toByteArray();
//         return response;
//     });
//     port.setPortName(sim.portName());
//     ... run the program's code ...
//     QCOMPARE(sim.requests().last().command, quint8(1));
//
// HartSimUniversalCommands::install(sim) registers the universal and common-practice commands
// with their data layouts; a test's own setHandler afterwards replaces single commands.
class HartSimulator
{
public:
    using Handler = std::function<HartSimResponse(HartSimDevice &device, const QByteArray &requestData)>;

    HartSimulator();
    ~HartSimulator();

    HartSimulator(const HartSimulator &) = delete;
    HartSimulator &operator=(const HartSimulator &) = delete;

    bool isValid() const { return m_masterFd >= 0; }
    QString portName() const { return m_portName; }

    // Devices, found by polling address. updateDevice runs change under the simulator's lock.
    void addDevice(const HartSimDevice &device);
    void removeDevices();
    HartSimDevice device(quint8 pollingAddress) const;
    void updateDevice(quint8 pollingAddress, const std::function<void(HartSimDevice &)> &change);

    // Replaces the handler of a command; handlers run on the simulator's thread, under its lock.
    void setHandler(quint8 command, const Handler &handler);

    void setFaults(const HartSimFaults &faults);
    HartSimFaults faults() const;

    // While stopped, the program's side of the line takes no bytes to send (a line held in the
    // XOFF state): writes cannot leave until it is started again.
    void setProgramOutputStopped(bool stopped);

    QList<HartSimRequest> requests() const;
    int requestCount() const;
    void clearRequests();
    int repliesSent() const;   // replies (or raw fault bytes) completely written so far

    // Writes bytes to the line at once, unasked, and tells how many bytes wait unread on the
    // program's side of the line.
    void inject(const QByteArray &bytes);
    int pendingInput() const;

    qint64 elapsedMs() const { return m_clock.elapsed(); }

private:
    void serve();
    void handleRequest(HartSimRequest &request);
    QByteArray answer(const HartSimRequest &request, const HartSimFaults &faults);
    void sendReply(const QByteArray &reply, const HartSimFaults &faults);
    void writeAll(const QByteArray &bytes);
    bool pause(int ms);   // false when the simulator is stopping

    int m_masterFd = -1;
    int m_slaveFd = -1;   // kept open so the line stays up while the program closes and reopens
    int m_stopPipe[2] = {-1, -1};
    QString m_portName;
    QElapsedTimer m_clock;

    mutable std::mutex m_mutex;   // guards everything below
    QList<HartSimDevice> m_devices;
    QHash<quint8, Handler> m_handlers;
    HartSimFaults m_faults;
    QList<HartSimRequest> m_requests;
    int m_repliesSent = 0;

    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
