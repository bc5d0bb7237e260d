#pragma once

#include "model/device.h"

// A pH meter of the template "Acivel-M".
// Commands up to 129 are the generic ones of Device; the maker's own commands are numbered
// from 130.
class AcivelDevice : public Device
{
    Q_OBJECT

public:
    static constexpr int FirstModelCommand = 130;

    explicit AcivelDevice(ServerItem *parent);

    QString readCommandName(int command) override;
    QString writeCommandName(int command) override;
    bool readDevice(int command) override;
    bool writeDevice(int command) override;
    QString deviceSpecificStatusText(int code) const override;
};
