#include "widgets/readout.h"

#include <QLCDNumber>
#include <QString>
#include <QVariant>

#include <cmath>

namespace Readout {

bool isMeasured(const QVariant &value)
{
    return value.isValid() && std::isfinite(value.toFloat());
}

void show(QLCDNumber *lcd, const QVariant &value)
{
    if (!isMeasured(value)) {
        lcd->display(QStringLiteral("----"));
        return;
    }
    // Read back from its text, so the read-out shows exactly the two decimals and not the
    // float's own noise ("80.669998" for 80.67).
    lcd->display(QString::number(double(value.toFloat()), 'f', 2).toDouble());
}

} // namespace Readout
