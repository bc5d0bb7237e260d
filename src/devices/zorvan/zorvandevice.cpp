#include "devices/zorvan/zorvandevice.h"

#include "core/debugqtstream.h"

ZorvanDevice::ZorvanDevice(ServerItem *parent)
    : Device(parent)
{
    applyDefaults(QStringLiteral("Zorvan-M (%1)"));
}

// The model's own commands are not known yet: they have no name and always fail.
QString ZorvanDevice::readCommandName(int command)
{
    return command < FirstModelCommand ? Device::readCommandName(command) : QString();
}

QString ZorvanDevice::writeCommandName(int command)
{
    return command < FirstModelCommand ? Device::writeCommandName(command) : QString();
}

bool ZorvanDevice::readDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::readDevice(command);
    return refuseModelCommand(command);
}

bool ZorvanDevice::writeDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::writeDevice(command);
    return refuseModelCommand(command);
}

bool ZorvanDevice::refuseModelCommand(int command)
{
    DEBUGQT_LOG(1) << "*** unknown model command" << command;
    // Nothing is sent, yet the caller reports the failure, so it must have a reason to show.
    setLastErrorText(tr("Command %1 is not supported by this device model").arg(command));
    return false;
}
