#include "measure/pollingthread.h"

#include "core/debugqtstream.h"
#include "model/device.h"
#include "model/port.h"

#include <QMutexLocker>

#include <optional>
#include <utility>

PollingThread::PollingThread(QObject *parent)
    : QThread(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &PollingThread::timerPeriod);
}

PollingThread::~PollingThread()
{
    // A subclass stops the worker in its own destructor, while its poll can still run.
    stopAndJoin();
}

void PollingThread::startPolling(Device *device, int period, const std::function<void()> &storeSettings)
{
    DEBUGQT_LOG(4) << period;
    if (period < 1)
        return;
    if (!device) {
        DEBUGQT_LOG(1) << "*** no device to poll";
        return;
    }

    QMutexLocker locker(&m_mutex);
    m_timer.stop();
    // The device that stops being polled lets its line close and loses its "@" mark, unless
    // another poller still uses it. A stopped worker not yet joined still marks its device.
    Device *previous = m_device ? m_device : std::exchange(m_stopped, nullptr);
    if (previous != device) {
        if (previous)
            previous->endPolling();
        device->beginPolling();
    }
    m_device = device;
    m_period = period;
    if (storeSettings)
        storeSettings();
    m_stop = false;
    m_pollDue = true;
    m_timer.start(period);
    if (m_looping) {
        m_wake.wakeOne();
        return;
    }
    // A worker that has left its loop has nothing left to wait for.
    wait();
    m_looping = true;
    start(QThread::InheritPriority);
}

void PollingThread::stopThread()
{
    const bool running = isRunning();
    if (running)
        DEBUGQT_LOG(4) << " ...";
    m_timer.stop();
    {
        QMutexLocker locker(&m_mutex);
        m_stop = true;
        m_wake.wakeOne();
        // The device may go once polling has stopped; nothing keeps its address.
        if (m_device)
            m_stopped = std::exchange(m_device, nullptr);
    }
    // Run from the event processing of this thread's transaction, the worker may be waiting for
    // that transaction's device or line: it is joined once the line is free.
    if (!m_destroying && Port::lineHeldHere()) {
        if (!std::exchange(m_joinPending, true)) {
            Port::afterLinesReleased(this, [this] {
                m_joinPending = false;
                if (stopRequested())   // not when polling started again
                    join();
            });
        }
        return;
    }
    join();
    if (running)
        DEBUGQT_LOG(4) << "OK";
}

void PollingThread::stopAndJoin()
{
    // No worker may outlive its thread object, whatever the caller holds.
    m_destroying = true;
    stopThread();
}

void PollingThread::join()
{
    wait();
    if (Device *device = std::exchange(m_stopped, nullptr))
        device->endPolling();
}

void PollingThread::timerPeriod()
{
    DEBUGQT_LOG(4);
    // A tick that finds the worker polling is lost: polls never queue up.
    QMutexLocker locker(&m_mutex);
    if (!m_stop && m_sleeping) {
        m_pollDue = true;
        m_wake.wakeOne();
    }
}

void PollingThread::runHeld(Device *device, const std::function<void()> &poll)
{
    // The outcome lock comes before the line, as in every transaction.
    const Device::OutcomeHold outcome(device);
    std::optional<Port::LineHold> line;
    if (Port *port = device->port())
        line.emplace(port->holdLineAcross());
    // A stop that came while the poll waited (see stopThread) sends nothing.
    if (!stopRequested())
        poll();
}

bool PollingThread::stopRequested() const
{
    QMutexLocker locker(&m_mutex);
    return m_stop;
}

int PollingThread::period() const
{
    QMutexLocker locker(&m_mutex);
    return m_period;
}

void PollingThread::run()
{
    QMutexLocker locker(&m_mutex);
    DEBUGQT_LOG(4) << m_period;
    while (!m_stop && m_device) {
        m_pollDue = false;
        Device *device = m_device;
        takeSettings();
        locker.unlock();
        pollOnce(device);
        locker.relock();
        // Tested under the mutex right before sleeping, so neither a stop nor a re-target that
        // came during the poll is slept through.
        while (!m_stop && !m_pollDue) {
            m_sleeping = true;
            m_wake.wait(&m_mutex);
            m_sleeping = false;
        }
    }
    m_looping = false;
    DEBUGQT_LOG(4) << ">>>>>>>>> run OK";
}
