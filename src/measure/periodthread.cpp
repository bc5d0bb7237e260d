#include "measure/periodthread.h"

#include "core/debugqtstream.h"
#include "core/utils.h"
#include "model/device.h"

#include <QDateTime>

namespace {

// A unit code meaning "not used": its variable is left out of the response.
constexpr int UnitNotUsed = 250;

} // namespace

PeriodThread::PeriodThread(QObject *parent)
    : PollingThread(parent)
{
}

PeriodThread::~PeriodThread()
{
    DEBUGQT_LOG(4) << "quit thread...";
    stopAndJoin();
    DEBUGQT_LOG(4) << "OK";
}

void PeriodThread::setDevice(Device *device, int period)
{
    startPolling(device, period);
}

void PeriodThread::pollOnce(Device *device)
{
    DEBUGQT_LOG(4) << " ### read device ###" << period();
    QVariantMap response;
    // Held from the read until the map is built, so that no transaction of the GUI thread and no
    // error reset can put another outcome into this read's map.
    runHeld(device, [&] {
        // No value of an earlier read may reach this cycle's map.
        QVariantMap lastGood;
        for (const char *key : {"PV", "SV", "TV", "QV"}) {
            const QString name = QLatin1String(key);
            if (device->hasParameter(name))
                lastGood.insert(name, device->parameter(name));
            device->removeParameter(name);
        }
        if (device->readDevice(3)) {
            // A stop during the read drops its values; a failure is still reported.
            if (!stopRequested())
                response = successMap(device);
        } else {
            // A failed read measured nothing: the device keeps the values last measured.
            for (auto it = lastGood.cbegin(); it != lastGood.cend(); ++it)
                device->setParameter(it.key(), it.value());
            if (!device->lastErrorText().isEmpty())
                response = failureMap(device);
        }
    });
    if (!response.isEmpty())
        emit responsePV(response);
}

QVariantMap PeriodThread::successMap(const Device *device)
{
    QVariantMap map;
    map.insert(QStringLiteral("PV"), device->parameter(QStringLiteral("PV")));
    map.insert(QStringLiteral("PVUnitCodeText"), device->pvUnitText());

    struct Variable
    {
        const char *key;
        QString (Device::*unitText)() const;
    };
    static const Variable secondary[] = {
        {"SV", &Device::svUnitText}, {"TV", &Device::tvUnitText}, {"QV", &Device::qvUnitText}};
    for (const Variable &variable : secondary) {
        const QString key = QLatin1String(variable.key);
        if (!device->hasParameter(key))
            continue;
        if ((device->parameterInt(key + QStringLiteral("_unit_code")) & 0xFF) == UnitNotUsed)
            continue;
        map.insert(key, device->parameter(key));
        map.insert(key + QStringLiteral("UnitCodeText"), (device->*variable.unitText)());
    }

    map.insert(QStringLiteral("output_current"), device->parameter(QStringLiteral("output_current")));
    map.insert(QStringLiteral("DateTime"), QDateTime::currentDateTime());
    map.insert(QStringLiteral("statusCode"), Utils::bufferToHex(device->lastStatusBytes()).toUpper());

    const QStringList texts = device->lastStatusTexts();
    const QString additional = device->additionalStatusText();
    map.insert(QStringLiteral("statusText"),
               texts.isEmpty() ? additional : texts.join(QLatin1Char('\n')) + QLatin1Char('\n') + additional);
    return map;
}

QVariantMap PeriodThread::failureMap(const Device *device)
{
    QVariantMap map;
    // The device may still hold values of an earlier read; this read measured none.
    map.insert(QStringLiteral("PV"), QVariant());
    map.insert(QStringLiteral("output_current"), QVariant());
    map.insert(QStringLiteral("DateTime"), QDateTime::currentDateTime());
    map.insert(QStringLiteral("statusCode"), Utils::bufferToHex(device->lastStatusBytes()).toUpper());
    // Each error line of the text starts on a line of its own.
    QString errorText = device->lastErrorText();
    map.insert(QStringLiteral("errorText"), errorText.replace(QStringLiteral("***"), QStringLiteral("\n***")));
    return map;
}
