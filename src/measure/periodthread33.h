#pragma once

#include <QMutex>
#include <QThread>
#include <QTimer>
#include <QVariantMap>
#include <QWaitCondition>

class Device;

// Reads up to four device variables of one device (HART command 33) on a fixed period in a
// worker thread and hands every result over through responsePeriodThrd33(): on success the
// keys "slot_N_value" and "slot_N_unit_code" of each slot the answer carried, "statusCode" and
// "statusText"; on failure "slot_0_value" (0.0), "statusCode" and "errorText". A slot the answer
// did not carry is left out, never filled with an earlier reading.
//
// It works like PeriodThread: a timer in the owner's (GUI) thread only wakes the worker, a tick
// that finds it reading is lost, and the polled device carries the "periodically requested"
// flag while it is polled.
//
//     PeriodThread33 poller;
//     connect(&poller, &PeriodThread33::responsePeriodThrd33, page, &Page::showLiveValues);
//     poller.setDevice(device, 2100, 1, 4, 6, PeriodThread33::NotUsed);
//     ...
//     poller.stopThread();   // returns once the worker has ended
class PeriodThread33 : public QThread
{
    Q_OBJECT

public:
    // The device-variable code of a slot that is not used.
    static constexpr int NotUsed = 250;
    static constexpr int SlotCount = 4;

    explicit PeriodThread33(QObject *parent = nullptr);
    ~PeriodThread33() override;

    // Starts polling the device's variables with the four codes every period milliseconds, or
    // re-targets a running thread (device, codes and period) from its next cycle. A period below
    // 1 or a null device is ignored.
    void setDevice(Device *device, int period, int code0, int code1, int code2, int code3);
    // Stops polling and returns once the worker has ended; harmless when it is not running.
    void stopThread();

signals:
    void responsePeriodThrd33(const QVariantMap &response);

public slots:
    void timerPeriod();

protected:
    void run() override;

private:
    struct Cycle
    {
        Device *device = nullptr;
        int codes[SlotCount] = {NotUsed, NotUsed, NotUsed, NotUsed};
    };

    void pollOnce(const Cycle &cycle);
    bool stopRequested() const;
    static QVariantMap successMap(const Device *device);
    static QVariantMap failureMap(const Device *device);

    mutable QMutex m_mutex;   // guards everything below but the timer, and the sleep/wake hand-over
    QWaitCondition m_wake;
    bool m_stop = false;
    bool m_pollDue = false;    // a poll is asked for: a re-target, or a tick while sleeping
    bool m_sleeping = false;   // the worker waits for the next poll
    Cycle m_cycle;
    QTimer m_timer;           // lives in the constructing thread; only wakes the worker
    int m_period = 0;
};
