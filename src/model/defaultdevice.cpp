#include "model/defaultdevice.h"

#include "core/debugqtstream.h"

DefaultDevice::DefaultDevice(ServerItem *parent)
    : Device(parent)
{
    applyDefaults(QStringLiteral("Default (%1)"));
}

DefaultDevice::~DefaultDevice()
{
    DEBUGQT_LOG(4) << "~DefaultDevice";
}

QString DefaultDevice::readCommandName(int command)
{
    return Device::readCommandName(command);
}

QString DefaultDevice::writeCommandName(int command)
{
    return Device::writeCommandName(command);
}

bool DefaultDevice::readDevice(int command)
{
    return Device::readDevice(command);
}

bool DefaultDevice::writeDevice(int command)
{
    return Device::writeDevice(command);
}
