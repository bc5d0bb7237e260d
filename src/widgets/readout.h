#pragma once

class QLCDNumber;
class QVariant;

// How the value read-outs of the pages show a variable: the measured value rounded to two
// decimals, or dashes where nothing was measured, so that no reader takes a failed read for a
// reading of 0.
namespace Readout {

// True for a value a read delivered as a finite number. A failed read delivers none, and a HART
// device answers NaN for a variable it does not have.
bool isMeasured(const QVariant &value);
// Shows the value rounded to two decimals, or dashes when it was not measured.
void show(QLCDNumber *lcd, const QVariant &value);

} // namespace Readout
