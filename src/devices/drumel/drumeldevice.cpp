#include "devices/drumel/drumeldevice.h"

#include "core/debugqtstream.h"

DrumelDevice::DrumelDevice(ServerItem *parent)
    : Device(parent)
{
    applyDefaults(QStringLiteral("Drumel-M (%1)"));
}

// The model's own commands are not known yet: they have no name and always fail.
QString DrumelDevice::readCommandName(int command)
{
    return command < FirstModelCommand ? Device::readCommandName(command) : QString();
}

QString DrumelDevice::writeCommandName(int command)
{
    return command < FirstModelCommand ? Device::writeCommandName(command) : QString();
}

bool DrumelDevice::readDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::readDevice(command);
    DEBUGQT_LOG(1) << "*** unknown model command" << command;
    return false;
}

bool DrumelDevice::writeDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::writeDevice(command);
    DEBUGQT_LOG(1) << "*** unknown model command" << command;
    return false;
}
