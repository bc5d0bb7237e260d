#pragma once

#include <QChar>
#include <QLineEdit>
#include <QString>
#include <QVariant>

class QMouseEvent;

// A line edit for one 32-bit number, typed in decimal, hexadecimal ("0x" prefix or "h" suffix),
// base 2 ("b" suffix) or as a floating-point number. It keeps the number it last understood with
// its base and sign; Ctrl and a double click switch the display between decimal and hexadecimal.
// Text it cannot understand, or a number that does not fit in 32 bits, falls back to the last
// text, so the field never shows digits other than the number it holds.
class UniBaseInput : public QLineEdit
{
    Q_OBJECT

public:
    explicit UniBaseInput(QWidget *parent = nullptr);

    int value() const;
    unsigned int unsignedValue() const;
    float floatValue() const;
    int base() const { return m_base; }
    bool isNegative() const { return m_negative; }

    // The setters show the number without emitting any signal.
    void setValue(int v);
    void setUnsignedValue(unsigned int v);
    void setFloatValue(float f);
    void setBase(int b);
    // Takes effect only for a value below 1; returns whether it did.
    bool setNegative(bool n);

public slots:
    void updateText();
    void updateValue();

signals:
    void valueChanged(const QVariant &value);
    void valueChanged(int value);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    struct Parsed;
    Parsed parse(const QString &text) const;
    QString unifyDecimalPoint(const QString &text) const;
    void showText(const QString &text);
    void emitValue();

    bool m_negative = false;
    QString m_lastText;
    quint32 m_bits = 0;  // one storage, read as int, unsigned int or float
    int m_base = 10;
    QChar m_decimalPoint;
    bool m_float = false;
    bool m_integer = false;
    // Set by setValue: the field holds an int, so a typed decimal beyond the int range is
    // refused rather than stored as a different negative number. setUnsignedValue clears it.
    bool m_signedField = false;
};
