#include "measure/periodthread33.h"

#include "core/debugqtstream.h"
#include "core/utils.h"
#include "model/device.h"

#include <algorithm>
#include <iterator>

namespace {

QString slotKey(int slot, const char *field)
{
    return QStringLiteral("slot_%1_%2").arg(slot).arg(QLatin1String(field));
}

} // namespace

PeriodThread33::PeriodThread33(QObject *parent)
    : PollingThread(parent)
{
}

PeriodThread33::~PeriodThread33()
{
    DEBUGQT_LOG(4) << "quit F33 thread...";
    stopAndJoin();
}

void PeriodThread33::setDevice(Device *device, int period, int code0, int code1, int code2, int code3)
{
    DEBUGQT_LOG(4) << period << code0 << code1 << code2 << code3;
    const int codes[SlotCount] = {code0, code1, code2, code3};
    startPolling(device, period, [&] { std::copy(std::begin(codes), std::end(codes), std::begin(m_codes)); });
}

void PeriodThread33::takeSettings()
{
    std::copy(std::begin(m_codes), std::end(m_codes), std::begin(m_pollCodes));
}

void PeriodThread33::pollOnce(Device *device)
{
    DEBUGQT_LOG(4) << " ### read device variables F33 ###";
    QVariantMap response;
    // Held from the read until the map is built, so that no transaction of the GUI thread puts
    // another outcome into this read's map.
    runHeld(device, [&] {
        // A slot the answer does not carry must not show the previous reading, and no code of
        // an earlier request may be sent along.
        device->clearSlotVariables();
        for (int slot = 0; slot < SlotCount; ++slot)
            device->setParameter(slotKey(slot, "code"), m_pollCodes[slot]);
        if (device->writeDevice(33)) {
            // A stop during the read drops its values; a failure is still reported.
            if (!stopRequested())
                response = successMap(device);
        } else {
            response = failureMap(device);
        }
    });
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
