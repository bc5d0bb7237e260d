#pragma once

class QAbstractSpinBox;
class QLCDNumber;
class QVariant;

class QString;

// How the pages show a variable: the measured value rounded to two decimals, in the value table
// and on the read-outs alike, or dashes where nothing was measured, so that no reader takes a
// failed read for a reading of 0.
namespace Readout {

// The value with two decimals and "." as the decimal point, as the value table shows it.
QString text(double value);
// The value as shown, read back from its text: a read-out shows exactly the two decimals and not
// the float's own noise ("80.669998" for 80.67). A non-finite value stays as it is.
double shown(double value);

// True for a value a read delivered as a finite number. A failed read delivers none, and a HART
// device answers NaN for a variable it does not have.
bool isMeasured(const QVariant &value);
// Shows the value rounded to two decimals, or dashes when it was not measured.
void show(QLCDNumber *lcd, const QVariant &value);
// The value as QString::number writes it in the format and precision given, or dashes when it
// was not measured.
QString numberText(const QVariant &value, char format = 'g', int precision = 6);
// The value with three decimals, as the adjustment questions name it, or dashes when it was not
// measured.
QString questionText(const QVariant &value);

// A number field shows a value the instrument gave, or the dashes when it gave none (NaN or
// infinity, or a number a whole-number field cannot hold): the field's special-value text at its
// minimum, never a limit the value was clamped to. A value beyond the form's range widens the
// field's range to hold just it: left untouched the field gives that value, and any edit (a step,
// a typed or pasted value) leaves a value within the form's range. The dashes stay until a person
// types a number or the program shows one.
void show(QAbstractSpinBox *field, const QVariant &value);
// The number the field holds, or an invalid value while it shows the dashes.
QVariant value(const QAbstractSpinBox *field);

} // namespace Readout
