#pragma once

#include <QMutex>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>

#include <functional>

class Device;

// The worker of a polling thread: polls one device on a fixed period.
//
// A timer in the owner's (GUI) thread only wakes the worker; the worker sleeps on its wait
// condition between polls, so polls never overlap and a tick that finds it busy is lost rather
// than queued. While a device is polled it carries the value-state flag "periodically
// requested", which keeps its serial line open between transactions. A subclass says what one
// poll does, and which of its settings a poll takes.
//
// A stop asked from the event processing of this thread's own transaction (a status repaint
// while the line is held) must not join the worker, which may wait for that very device or
// line: the worker sends nothing more, as a poll looks for a stop once it holds its device and
// line, right before it sends, and it is joined once the line is free.
class PollingThread : public QThread
{
    Q_OBJECT

public:
    ~PollingThread() override;

    // Stops polling and returns once the worker has ended; harmless when it is not running.
    // Inside a transaction of the calling thread it returns at once: the worker sends nothing
    // more, and it is joined, and its device loses the polling mark, once no line is held.
    void stopThread();

public slots:
    void timerPeriod();

protected:
    explicit PollingThread(QObject *parent);

    // Starts polling the device every period milliseconds, or re-targets a running thread,
    // which polls the new target at once. storeSettings runs under the lock, so the next poll
    // takes the subclass's settings together with the device. A period below 1 or a null device
    // is ignored.
    void startPolling(Device *device, int period, const std::function<void()> &storeSettings = {});
    // For the destructors: stops polling and joins the worker wherever it is called from.
    void stopAndJoin();
    bool stopRequested() const;
    // The period of the current polling, in milliseconds.
    int period() const;

    // Called under the lock before each poll: copy the settings the poll uses.
    virtual void takeSettings() {}
    // One poll, outside the lock.
    virtual void pollOnce(Device *device) = 0;
    // Runs a poll's transactions and the taking of their outcome with the device's outcome and
    // its line held throughout, so that no transaction of another thread comes in between; runs
    // nothing when a stop came while the poll waited for them.
    void runHeld(Device *device, const std::function<void()> &poll);

private:
    void run() override;
    void join();

    mutable QMutex m_mutex;   // guards everything below but the timer, and the sleep/wake hand-over
    QWaitCondition m_wake;
    bool m_looping = false;    // the worker is in its loop: it will see a stop or a wake
    bool m_stop = false;
    bool m_pollDue = false;    // a poll is asked for: a (re-)start, or a tick while sleeping
    bool m_sleeping = false;   // the worker waits for the next poll
    Device *m_device = nullptr;
    int m_period = 0;
    QTimer m_timer;            // lives in the constructing thread; only wakes the worker
    // Owner's thread only: the device of a stopped worker not yet joined, which keeps its
    // polling mark until then, and whether a join waits for a line to be let go.
    Device *m_stopped = nullptr;
    bool m_joinPending = false;
    bool m_destroying = false;
};
