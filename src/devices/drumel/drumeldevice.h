#pragma once

#include "model/device.h"

// A pressure converter of the template "Drumel-M".
// Commands up to 129 are the generic ones of Device; the maker's own commands are numbered
// from 130. Their fields come from and go to the parameter map: a byte field is one unsigned
// byte, a float field an IEEE-754 single, most significant byte first.
class DrumelDevice : public Device
{
    Q_OBJECT

public:
    static constexpr int FirstModelCommand = 130;

    explicit DrumelDevice(ServerItem *parent);
    ~DrumelDevice() override;

    QString readCommandName(int command) override;
    QString writeCommandName(int command) override;
    bool readDevice(int command) override;
    bool writeDevice(int command) override;

private:
    bool decodeModelReply(int command, const QByteArray &reply);
    QByteArray modelRequest(int command, QStringList *unmeasured) const;
    bool takeLinePointValue(const QByteArray &reply);
};
