#include "measure/pollingthread.h"

#include "core/debugqtstream.h"
#include "model/device.h"

#include <QMutexLocker>

PollingThread::PollingThread(QObject *parent)
    : QThread(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &PollingThread::timerPeriod);
}

PollingThread::~PollingThread()
{
    // A subclass stops the worker in its own destructor, while its poll can still run.
    stopThread();
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
    // another poller still uses it.
    if (m_device != device) {
        if (m_device)
            m_device->endPolling();
        device->beginPolling();
    }
    m_device = device;
    m_period = period;
    if (storeSettings)
        storeSettings();
    m_stop = false;
    m_pollDue = true;
    m_timer.start(period);
    if (isRunning())
        m_wake.wakeOne();
    else
        start(QThread::InheritPriority);
}

void PollingThread::stopThread()
{
    const bool running = isRunning();
    if (running)
        DEBUGQT_LOG(4) << " ...";
    m_timer.stop();
    Device *device = nullptr;
    {
        QMutexLocker locker(&m_mutex);
        m_stop = true;
        m_wake.wakeOne();
        device = m_device;
        // The device may go once polling has stopped; nothing keeps its address.
        m_device = nullptr;
    }
    wait();
    if (device)
        device->endPolling();
    if (running)
        DEBUGQT_LOG(4) << "OK";
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
    DEBUGQT_LOG(4) << ">>>>>>>>> run OK";
}
