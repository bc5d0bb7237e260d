#pragma once

#include <QObject>

// Lets a number field with decimals take "." as its decimal separator as well as its locale's own.
// The editor forms give their fields a locale that writes a decimal comma; without this, a period
// typed there (main keyboard or keypad) would be dropped and "95.5" read as 955.
class DecimalPointFilter : public QObject
{
    Q_OBJECT

public:
    // Installs the one filter of the application, once; the application owns it.
    static void install();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
