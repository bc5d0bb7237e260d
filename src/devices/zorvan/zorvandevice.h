#pragma once

#include "model/device.h"

// A temperature converter of the templates "Zorvan-M" and "Belkor-M".
// Commands up to 129 are the generic ones of Device; the maker's own commands are numbered
// from 130.
class ZorvanDevice : public Device
{
    Q_OBJECT

public:
    static constexpr int FirstModelCommand = 130;

    explicit ZorvanDevice(ServerItem *parent);

    QString readCommandName(int command) override;
    QString writeCommandName(int command) override;
    bool readDevice(int command) override;
    bool writeDevice(int command) override;

private:
    bool refuseModelCommand(int command);
};
