#include "widgets/decimalpointfilter.h"

#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QKeyEvent>

void DecimalPointFilter::install()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || application->findChild<DecimalPointFilter *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    application->installEventFilter(new DecimalPointFilter(application));
}

bool DecimalPointFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    auto *field = qobject_cast<QDoubleSpinBox *>(watched);
    if (!field || key->text() != QLatin1String("."))
        return false;
    const QString point = field->locale().decimalPoint();
    if (point == key->text())
        return false;
    // The same key, writing the field's own separator in place of the period.
    QKeyEvent separator(QEvent::KeyPress, key->key(), key->modifiers(), point, key->isAutoRepeat(), ushort(key->count()));
    QCoreApplication::sendEvent(field, &separator);
    return true;
}
