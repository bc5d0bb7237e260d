#pragma once

#include "measure/pollingthread.h"

#include <QVariantMap>

class Device;

// Reads one device's dynamic variables and loop current (HART command 3) on a fixed period in a
// worker thread and hands every result over as a polling response map through responsePV().
//
// Reads never overlap, and a tick that finds the worker busy is lost (see PollingThread).
//
//     PeriodThread thread;
//     connect(&thread, &PeriodThread::responsePV, page, &Page::showPeriodResponsePV);
//     thread.setDevice(device, 1000);   // reads at once, then once a second
//     ...
//     thread.stopThread();              // returns once the worker has ended
class PeriodThread : public PollingThread
{
    Q_OBJECT

public:
    explicit PeriodThread(QObject *parent = nullptr);
    ~PeriodThread() override;

    // Starts polling the device every period milliseconds, or re-targets a running thread,
    // which reads the new target at once. A period below 1 or a null device is ignored.
    void setDevice(Device *device, int period);

signals:
    void responsePV(const QVariantMap &response);
    void error(const QString &text);
    void timeout(const QString &text);

private:
    void pollOnce(Device *device) override;
    static QVariantMap successMap(const Device *device);
    static QVariantMap failureMap(const Device *device);
};
