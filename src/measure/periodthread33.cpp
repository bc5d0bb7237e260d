#include "measure/periodthread33.h"

#include "core/debugqtstream.h"
#include "core/utils.h"
#include "model/device.h"

#include <QMutexLocker>

#include <algorithm>
#include <iterator>

namespace {

QString slotKey(int slot, const char *field)
{
    return QStringLiteral("slot_%1_%2").arg(slot).arg(QLatin1String(field));
}

} // namespace

PeriodThread33::PeriodThread33(QObject *parent)
    : QThread(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &PeriodThread33::timerPeriod);
}

PeriodThread33::~PeriodThread33()
{
    DEBUGQT_LOG(4) << "quit F33 thread...";
    stopThread();
    DEBUGQT_LOG(4) << "OK";
}

void PeriodThread33::setDevice(Device *device, int period, int code0, int code1, int code2, int code3)
{
    DEBUGQT_LOG(4) << period << code0 << code1 << code2 << code3;
    if (period < 1)
        return;
    if (!device) {
        DEBUGQT_LOG(1) << "*** no device to poll";
        return;
    }

    QMutexLocker locker(&m_mutex);
    m_period = period;
    m_timer.stop();
    // The device that stops being polled lets its line close, unless another poller uses it.
    if (m_cycle.device != device) {
        if (m_cycle.device)
            m_cycle.device->endPolling();
        device->beginPolling();
    }
    m_cycle.device = device;
    m_stop = false;
    const int codes[SlotCount] = {code0, code1, code2, code3};
    std::copy(std::begin(codes), std::end(codes), std::begin(m_cycle.codes));
    m_timer.start(period);
    // The new target is read at once, also when the worker is still busy with the last poll.
    m_pollDue = true;
    if (isRunning())
        m_wake.wakeOne();
    else
        start(QThread::InheritPriority);
}

void PeriodThread33::stopThread()
{
    DEBUGQT_LOG(4) << " ...";
    m_timer.stop();
    Device *device = nullptr;
    {
        QMutexLocker locker(&m_mutex);
        m_stop = true;
        m_wake.wakeOne();
        device = m_cycle.device;
        // The device may go once polling has stopped; nothing keeps its address.
        m_cycle.device = nullptr;
    }
    wait();
    if (device)
        device->endPolling();
    DEBUGQT_LOG(4) << "OK";
}

void PeriodThread33::timerPeriod()
{
    // A tick that finds the worker reading is lost: reads never queue up.
    QMutexLocker locker(&m_mutex);
    if (!m_stop && m_sleeping) {
        m_pollDue = true;
        m_wake.wakeOne();
    }
}

bool PeriodThread33::stopRequested() const
{
    QMutexLocker locker(&m_mutex);
    return m_stop;
}

void PeriodThread33::run()
{
    QMutexLocker locker(&m_mutex);
    while (!m_stop && m_cycle.device) {
        // A re-target takes effect from the next cycle.
        m_pollDue = false;
        const Cycle cycle = m_cycle;
        locker.unlock();
        pollOnce(cycle);
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

void PeriodThread33::pollOnce(const Cycle &cycle)
{
    DEBUGQT_LOG(4) << " ### read device variables F33 ###";
    Device *device = cycle.device;
    QVariantMap response;
    {
        // Held from the read until the map is built, so that no transaction of the GUI thread
        // puts another outcome into this read's map.
        QMutexLocker outcome(&device->outcomeLock());
        // A slot the answer does not carry must not show the previous reading, and no code of
        // an earlier request may be sent along.
        device->clearSlotVariables();
        for (int slot = 0; slot < SlotCount; ++slot)
            device->setParameter(slotKey(slot, "code"), cycle.codes[slot]);
        if (device->writeDevice(33)) {
            // A stop during the read drops its values; a failure is still reported.
            if (!stopRequested())
                response = successMap(device);
        } else {
            response = failureMap(device);
        }
    }
    if (!response.isEmpty())
        emit responsePeriodThrd33(response);
}

QVariantMap PeriodThread33::successMap(const Device *device)
{
    QVariantMap map;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QString valueKey = slotKey(slot, "value");
        if (!device->hasParameter(valueKey))
            continue;
        map.insert(valueKey, device->parameter(valueKey));
        map.insert(slotKey(slot, "unit_code"), device->parameter(slotKey(slot, "unit_code")));
    }
    map.insert(QStringLiteral("statusCode"), Utils::bufferToHex(device->lastStatusBytes()).toUpper());
    const QStringList texts = device->lastStatusTexts();
    const QString additional = device->additionalStatusText();
    map.insert(QStringLiteral("statusText"),
               texts.isEmpty() ? additional : texts.join(QLatin1Char('\n')) + QLatin1Char('\n') + additional);
    return map;
}

QVariantMap PeriodThread33::failureMap(const Device *device)
{
    QVariantMap map;
    map.insert(QStringLiteral("slot_0_value"), 0.0);
    map.insert(QStringLiteral("statusCode"), Utils::bufferToHex(device->lastStatusBytes()).toUpper());
    // Each error line of the text starts on a line of its own.
    QString errorText = device->lastErrorText();
    map.insert(QStringLiteral("errorText"), errorText.replace(QStringLiteral("***"), QStringLiteral("\n***")));
    return map;
}
