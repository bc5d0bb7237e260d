#include "devices/acivel/aciveldevice.h"

#include "core/debugqtstream.h"

AcivelDevice::AcivelDevice(ServerItem *parent)
    : Device(parent)
{
    applyDefaults(QStringLiteral("Acivel-M (%1)"));
}

// The model's own commands are not known yet: they have no name and always fail.
QString AcivelDevice::readCommandName(int command)
{
    return command < FirstModelCommand ? Device::readCommandName(command) : QString();
}

QString AcivelDevice::writeCommandName(int command)
{
    return command < FirstModelCommand ? Device::writeCommandName(command) : QString();
}

bool AcivelDevice::readDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::readDevice(command);
    DEBUGQT_LOG(1) << "*** unknown model command" << command;
    return false;
}

bool AcivelDevice::writeDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::writeDevice(command);
    DEBUGQT_LOG(1) << "*** unknown model command" << command;
    return false;
}

QString AcivelDevice::deviceSpecificStatusText(int code) const
{
    static const struct
    {
        int bit;
        const char *text;
    } Texts[] = {
        {0x01, QT_TR_NOOP("Temperature sensor short circuit.")},
        {0x02, QT_TR_NOOP("Temperature sensor not connected. ")},
        {0x04, QT_TR_NOOP("Ei is out of range.")},
        {0x08, QT_TR_NOOP("S is out of range. ")},
    };
    QString text;
    for (const auto &entry : Texts) {
        if (code & entry.bit)
            text += tr(entry.text) + QLatin1Char('\n');
    }
    return text;
}
