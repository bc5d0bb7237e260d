#pragma once

#include "hartsimrequest.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// One simulated HART device on the line: how it is addressed, its identity (the command-0
// answer) and its state. Command handlers read and change the state; writes therefore read back.
class HartSimDevice
{
public:
    explicit HartSimDevice(quint8 pollingAddress = 0, quint8 manufacturerCode = 0x26,
                           quint8 deviceTypeCode = 0x4E,
                           const QByteArray &deviceId = QByteArray::fromHex("123456"));

    // Addressing
    quint8 pollingAddress;
    quint8 manufacturerCode;
    quint8 deviceTypeCode;
    QByteArray deviceId;      // three bytes
    QString tag;              // for the commands that find a device by tag

    // Identity
    quint8 minRequestPreambles = 5;
    quint8 universalRevision = 7;
    quint8 specificRevision = 1;
    quint8 softwareRevision = 2;
    quint8 hardwareRevision = 3;
    quint8 flags = 0;
    quint8 deviceVariables = 4;
    quint16 configChangeCounter = 0x0102;
    quint8 extendedStatus = 0;
    quint16 manufacturerId = 0x6026;
    int identityLength = 22;  // data bytes of the command-0 answer: 12 (revision 5) up to 22

    // State
    int replyPreambles = 5;   // preambles in front of every reply
    quint8 deviceStatus = 0;  // status bits added to every reply
    QVariantMap values;       // variables and writable settings, keyed by name, for the handlers

    // The 5-byte long-frame address: manufacturer code without its top two bits, device type, ID.
    QByteArray uniqueAddress() const;
    // The command-0 answer data, cut to identityLength.
    QByteArray identityData() const;
    // A short frame to the polling address, a long frame to the unique address, or a long frame
    // to the all-zero address with one of the find-by-tag or find-device commands 11, 21 and 73.
    bool answersTo(const HartSimRequest &request) const;
};
