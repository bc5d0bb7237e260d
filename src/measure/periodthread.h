#pragma once

#include <QMutex>
#include <QThread>
#include <QTimer>
#include <QVariantMap>
#include <QWaitCondition>

class Device;

// Reads one device's dynamic variables and loop current (HART command 3) on a fixed period in a
// worker thread and hands every result over as a polling response map through responsePV().
//
// A timer in the owner's (GUI) thread only wakes the worker; the worker sleeps on its wait
// condition between reads, so reads never overlap and a tick that finds it busy is lost rather
// than queued. While a device is polled it carries the value-state flag "periodically requested",
// which keeps its serial line open between transactions.
//
//     PeriodThread thread;
//     connect(&thread, &PeriodThread::responsePV, page, &Page::showPeriodResponsePV);
//     thread.setDevice(device, 1000);   // reads at once, then once a second
//     ...
//     thread.stopThread();              // returns once the worker has ended
class PeriodThread : public QThread
{
    Q_OBJECT

public:
    explicit PeriodThread(QObject *parent = nullptr);
    ~PeriodThread() override;

    // Starts polling the device every period milliseconds, or re-targets a running thread from
    // its next cycle. A period below 1 or a null device is ignored.
    void setDevice(Device *device, int period);
    // Stops polling and returns once the worker has ended; harmless when it is not running.
    void stopThread();

signals:
    void responsePV(const QVariantMap &response);
    void error(const QString &text);
    void timeout(const QString &text);

public slots:
    void timerPeriod();

protected:
    void run() override;

private:
    void pollOnce(Device *device, int period);
    bool stopRequested() const;
    static QVariantMap successMap(const Device *device);
    static QVariantMap failureMap(const Device *device);

    mutable QMutex m_mutex;    // guards everything below but the timer, and the sleep/wake hand-over
    QWaitCondition m_wake;
    bool m_stop = false;
    Device *m_device = nullptr;
    QTimer m_timer;            // lives in the constructing thread; only wakes the worker
    int m_period = 0;
};
