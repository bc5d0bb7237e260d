#pragma once

#include <QByteArray>
#include <QString>

class HartSimDevice;
class HartSimulator;

// The universal and common-practice commands of a simulated HART device, for tests of the
// program's generic command set. install() registers a handler for each; handlers registered
// afterwards with HartSimulator::setHandler replace single commands.
//
// A device keeps its state in HartSimDevice::values under the program's own parameter names
// where there is one: "PV_unit_code", "PV", "SV_unit_code", "SV", "TV_unit_code", "TV",
// "QV_unit_code", "QV", "output_current", "output_current_%", "current_loop_mode",
// "PV_class_code" ... "QV_class_code", "message", "descriptor", "date" (QDate), "sensor_number",
// "sensor_unit_code", "sensor_range_max", "sensor_range_min", "sensor_minimum_range",
// "PV_alarm_selection_code", "conversion_function", "range_unit_code", "range_max",
// "range_min", "damping_time", "write_protection", "distributor_label",
// "final_assembly_number", "long_tag", "PV_dev_variable_code" ... "QV_dev_variable_code",
// "fixed_current", "adjust_4mA", "adjust_20mA", "input_units", "sensor_number",
// "preambles_count", and the device variables "variable_<code>_class", "_unit_code", "_value",
// "_status", "_family" (a variable exists when its "_value" key exists). The tag is
// HartSimDevice::tag. Writes store what they carry, so a read afterwards shows it.
//
// Additional status: "additional_status" holds the command-48 data (9 zero bytes when absent);
// set bit 0x10 in HartSimDevice::deviceStatus to report more status. An acknowledgement (command
// 48 with data) that repeats the data clears the bit; with "additional_status_changes" true the
// data change at every acknowledgement and the bit stays.
//
// Test hooks for any command N: "reply_length_N" cuts the reply data to that many bytes;
// "reply_data_N" (bytes) replaces the reply data after the command has taken effect.
// Devices of universal revision 5 (HartSimDevice::universalRevision) echo command 6 with the
// polling address alone.
class HartSimUniversalCommands
{
public:
    static void install(HartSimulator &simulator);

    // HART packed ASCII of the text (upper-cased, blank-padded or cut to characters).
    static QByteArray pack(const QString &text, int characters);
    static QString unpack(const QByteArray &bytes);
    static QByteArray floatBytes(float value);
    static float floatAt(const QByteArray &bytes, int offset);
};
