#include "widgets/readout.h"

#include <QLCDNumber>
#include <QString>
#include <QVariant>

#include <cmath>

namespace Readout {

namespace {

const QString NotMeasured = QStringLiteral("----");

} // namespace

QString text(double value)
{
    return QStringLiteral("%1").arg(value, 0, 'f', 2);
}

double shown(double value)
{
    return std::isfinite(value) ? text(value).toDouble() : value;
}

bool isMeasured(const QVariant &value)
{
    return value.isValid() && std::isfinite(value.toFloat());
}

void show(QLCDNumber *lcd, const QVariant &value)
{
    if (!isMeasured(value)) {
        lcd->display(NotMeasured);
        return;
    }
    lcd->display(shown(value.toFloat()));
}

QString questionText(const QVariant &value)
{
    return isMeasured(value) ? QString::number(double(value.toFloat()), 'f', 3) : NotMeasured;
}

} // namespace Readout
