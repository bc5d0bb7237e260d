#include "hartsimdevice.h"

HartSimDevice::HartSimDevice(quint8 pollingAddress, quint8 manufacturerCode, quint8 deviceTypeCode,
                             const QByteArray &deviceId)
    : pollingAddress(pollingAddress)
    , manufacturerCode(manufacturerCode)
    , deviceTypeCode(deviceTypeCode)
    , deviceId(deviceId)
{
}

QByteArray HartSimDevice::uniqueAddress() const
{
    QByteArray address;
    address.append(char(manufacturerCode & 0x3F));
    address.append(char(deviceTypeCode));
    address.append(deviceId.leftJustified(3, '\0', true));
    return address;
}

QByteArray HartSimDevice::identityData() const
{
    QByteArray data;
    data.append(char(254));
    data.append(char(manufacturerCode));
    data.append(char(deviceTypeCode));
    data.append(char(minRequestPreambles));
    data.append(char(universalRevision));
    data.append(char(specificRevision));
    data.append(char(softwareRevision));
    data.append(char(hardwareRevision));
    data.append(char(flags));
    data.append(deviceId.leftJustified(3, '\0', true));
    data.append(char(replyPreambles));
    data.append(char(deviceVariables));
    data.append(char(configChangeCounter >> 8));
    data.append(char(configChangeCounter & 0xFF));
    data.append(char(extendedStatus));
    data.append(char(manufacturerId >> 8));
    data.append(char(manufacturerId & 0xFF));
    data.append(QByteArray(3, '\0'));  // private label distributor, device profile
    return data.left(identityLength);
}

bool HartSimDevice::answersTo(const HartSimRequest &request) const
{
    if (!request.isLongFrame())
        return request.address.size() == 1 && (quint8(request.address.at(0)) & 0x3F) == pollingAddress;

    QByteArray address = request.address;
    address[0] = char(quint8(address.at(0)) & 0x3F);
    if (address == uniqueAddress())
        return true;
    const bool findCommand = request.command == 11 || request.command == 21 || request.command == 73;
    return findCommand && address == QByteArray(5, '\0');
}
