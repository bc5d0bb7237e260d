#pragma once

#include <QtGlobal>

class HartSimDevice;
class HartSimulator;

// The pH meter's own commands of a simulated HART device, for tests of the program's pH meter
// class and editor. install() registers a handler for each; handlers registered afterwards with
// HartSimulator::setHandler replace single commands.
//
// A device keeps its state in HartSimDevice::values under the program's own parameter names:
// the reads 130, 134, 140, 150, 152 and 171 answer from them, and the writes 131, 132, 133, 135,
// 136, 137, 141, 142, 172, 173, 174, 176 and 192 echo their data and store their fields there, so
// a read afterwards shows them ("adjust_U_point" 0 or 1 writes "adjust_U_p1" or "adjust_U_p2",
// "adjust_Rc_point" likewise the Rc points, 173 writes "adjust_Rt_p"; 142 writes the sensor
// limits that command 14 reads). Command 151 answers the point number with a new Ei equal to
// the point's value and a new S of 100 plus the point number, and stores them; command 170
// answers 0x80 when the code sent is not 0 and equals "access_code", else 0x00, and keeps the
// outcome in "unlocked". Command 131 keeps "phi_isopotential_point" in the millivolt modes
// ("input_units" above 1), where the program sends zero for it.
//
// Device variables for command 33 are those of the universal commands ("variable_<code>_value"
// and "variable_<code>_unit_code"); a test changes them between polls with updateDevice.
//
// The test hooks of the universal commands hold here too: "reply_length_N" cuts the reply data,
// "reply_data_N" (bytes) replaces it after the command has taken effect.
class HartSimAcivelCommands
{
public:
    static constexpr quint8 ManufacturerCode = 0xE0;
    static constexpr quint8 DeviceTypeCode = 0x94;

    static void install(HartSimulator &simulator);
    // A device with the pH meter's identity.
    static HartSimDevice device(quint8 pollingAddress = 0);
};
