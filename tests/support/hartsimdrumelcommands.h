#pragma once

#include <QtGlobal>

class HartSimDevice;
class HartSimulator;

// The maker's commands of a simulated pressure converter, installed beside the universal ones
// (HartSimUniversalCommands::install first). They answer only a device made by device(); any
// other device answers response code 64 (not implemented), as it would without them.
//
// The state lives in HartSimDevice::values under the program's parameter names:
// "decimal_point_position", "average_count", "input_units", "free_range_min", "free_range_max",
// "indicate_range_min", "indicate_range_max", "calibrate_unit_code", "line_points_count",
// "temper_correction_mode", "t1_correcton_value", "t2_correcton_value", "gain_adjustment",
// "manufacturer_settings", and the sensor keys of command 14, so that a write reads back.
// Further keys:
// - "line_point_pressure": the pressure now applied, answered by command 149;
// - "line_point_<n>": the value of linearisation point n (1 to 11), stored by 138 and answered
//   by 148; a point beyond "line_points_count" answers response code 8 with value 0;
// - "temper_correction_<step>": the temperature taken at correction step 0 to 3 by 141, which
//   answers response code 8 when a different one was stored there before; steps 0 and 1 set
//   "t1_correcton_value", steps 2 and 3 "t2_correcton_value";
// - "access_code": the code command 170 grants (answer 80 01, "unlocked" true); code 0 answers
//   00 and locks the device again; any other code answers 40 00 and leaves it as it was.
// The hooks "reply_length_N" and "reply_data_N" of HartSimUniversalCommands work here too.
class HartSimDrumelCommands
{
public:
    static constexpr quint8 ManufacturerCode = 0xE0;
    static constexpr quint8 DeviceTypeCode = 0x93;
    static constexpr int MaxLinePoints = 11;

    static void install(HartSimulator &simulator);
    // A pressure converter at the polling address.
    static HartSimDevice device(quint8 pollingAddress = 0);
};
