#include "widgets/unibaseinput.h"

#include "core/debugqtstream.h"

#include <QLocale>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include <climits>
#include <cstring>

// What a text says, before anything of it is stored.
struct UniBaseInput::Parsed
{
    enum Kind { Nothing, Float, Integer, Unrecognised };
    Kind kind = Nothing;
    quint32 bits = 0;
    int base = 10;
    bool setsSign = false;  // whether the text decides the negative flag
    bool negative = false;
};

namespace {

quint32 floatBits(float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

bool matchesWhole(const QString &pattern, const QString &text)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

// Digits in the given base as an unsigned 32-bit number; no digits give 0. Returns false for a
// number wider than 32 bits.
bool toUnsigned32(const QString &digits, int base, quint32 &result)
{
    if (digits.isEmpty()) {
        result = 0;
        return true;
    }
    bool ok = false;
    result = digits.toUInt(&ok, base);
    return ok;
}

// Toward zero, saturated: a typed float may lie far beyond the int range.
int truncatedToInt(float f)
{
    if (f <= float(INT_MIN))
        return INT_MIN;
    if (f >= float(INT_MAX))
        return INT_MAX;
    return static_cast<int>(f);
}

} // namespace

UniBaseInput::UniBaseInput(QWidget *parent)
    : QLineEdit(parent)
    , m_decimalPoint(QLocale().decimalPoint().at(0))
{
    // The decimal point goes in unescaped: where it is ".", the float form takes any separator,
    // which is how a decimal comma gets through on such systems.
    const QString pattern = QStringLiteral("(0[xX][0-9a-fA-F]+)|([0-9a-fA-F]+[hH])|((0|1)+[bB])|([+-]?[0-9]+)|"
                                           "([+-]?[0-9]+%1[0-9]+)|")
                                .arg(m_decimalPoint);
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    connect(this, &QLineEdit::textChanged, this, &UniBaseInput::updateValue);
}

int UniBaseInput::value() const
{
    return static_cast<int>(m_bits);
}

unsigned int UniBaseInput::unsignedValue() const
{
    return m_bits;
}

float UniBaseInput::floatValue() const
{
    float f;
    std::memcpy(&f, &m_bits, sizeof f);
    return f;
}

void UniBaseInput::setValue(int v)
{
    m_signedField = true;
    m_negative = v < 0;
    m_bits = static_cast<quint32>(v);
    m_float = false;
    m_integer = true;
    updateText();
}

void UniBaseInput::setUnsignedValue(unsigned int v)
{
    m_signedField = false;
    m_negative = false;
    m_float = false;
    m_integer = true;
    m_bits = v;
    updateText();
}

void UniBaseInput::setFloatValue(float f)
{
    m_bits = floatBits(f);
    m_float = true;
    updateText();
}

void UniBaseInput::setBase(int b)
{
    m_base = b;
    updateText();
}

bool UniBaseInput::setNegative(bool n)
{
    if (value() < 1) {
        m_negative = n;
        updateText();
        return true;
    }
    m_negative = false;
    return false;
}

void UniBaseInput::updateText()
{
    QString shown;
    if (m_base == 8)
        shown = QString::number(value(), 8) + QLatin1Char('o');
    else if (m_base == 16)
        shown = QStringLiteral("0x") + QString::number(unsignedValue(), 16).toUpper();
    else if (m_base == 2)
        shown = QString::number(value(), 2) + QLatin1Char('b');
    else if (m_float)
        shown = QString::number(double(floatValue()), 'g', 6);
    else if (m_negative)
        shown = QString::number(value());
    else
        shown = QString::number(unsignedValue());
    showText(shown);
}

void UniBaseInput::showText(const QString &text)
{
    const QSignalBlocker blocker(this);
    setText(text);
    m_lastText = text;
}

QString UniBaseInput::unifyDecimalPoint(const QString &text) const
{
    QString unified = text;
    if (m_decimalPoint != QLatin1Char('.'))
        unified.replace(QLatin1Char('.'), m_decimalPoint);
    else
        unified.replace(QLatin1Char(','), QLatin1Char('.'));
    return unified;
}

UniBaseInput::Parsed UniBaseInput::parse(const QString &text) const
{
    Parsed parsed;
    bool fits = true;
    if (text.contains(m_decimalPoint)) {
        float f = QLocale().toFloat(text, &fits);
        if (!fits)
            f = QLocale::c().toFloat(text, &fits);
        parsed.kind = Parsed::Float;
        parsed.bits = floatBits(f);
        DEBUGQT_LOG(4) << "float value";
    } else if (matchesWhole(QStringLiteral("[+-]?[0-9]+"), text)) {
        // Negative numbers reach down to the int range's floor, others up to the int ceiling, or
        // the unsigned one where the field may hold an unsigned value.
        const qlonglong number = text.toLongLong(&fits);
        const qlonglong ceiling = m_signedField ? qlonglong(INT_MAX) : qlonglong(UINT_MAX);
        fits = fits && number >= INT_MIN && number <= ceiling;
        parsed.kind = Parsed::Integer;
        parsed.bits = static_cast<quint32>(number);
        parsed.setsSign = true;
        parsed.negative = number < 0;
        DEBUGQT_LOG(4) << "dec value";
    } else if (matchesWhole(QStringLiteral("0x([0-9a-fA-F]*)|([0-9a-fA-F]+[hH])"), text)) {
        QString digits = text;
        digits.remove(QLatin1Char('h'), Qt::CaseInsensitive);
        if (digits.startsWith(QLatin1String("0x")))
            digits.remove(0, 2);
        fits = toUnsigned32(digits, 16, parsed.bits);
        parsed.kind = Parsed::Integer;
        parsed.base = 16;
        parsed.setsSign = true;
        parsed.negative = parsed.bits & 0x80000000u;
        DEBUGQT_LOG(4) << "hex value";
    } else if (matchesWhole(QStringLiteral("(0|1)*[bB]"), text)) {
        QString digits = text;
        digits.remove(QLatin1Char('b'), Qt::CaseInsensitive);
        fits = toUnsigned32(digits, 2, parsed.bits);
        parsed.kind = Parsed::Integer;
        parsed.base = 2;
        DEBUGQT_LOG(4) << "bin value";
    } else {
        DEBUGQT_LOG(4) << "### mimo";
        const bool loneSign = text == QLatin1String("+") || text == QLatin1String("-");
        if (!text.isEmpty() && !loneSign)
            parsed.kind = Parsed::Unrecognised;
    }
    if (!fits)
        parsed.kind = Parsed::Unrecognised;
    return parsed;
}

void UniBaseInput::updateValue()
{
    const Parsed parsed = parse(unifyDecimalPoint(text()));
    if (parsed.kind == Parsed::Unrecognised) {
        // Storing 0 here would let a caller write a number the user never typed.
        showText(m_lastText);
        return;
    }
    m_float = parsed.kind == Parsed::Float;
    m_integer = parsed.kind == Parsed::Integer;
    if (parsed.kind != Parsed::Nothing) {
        m_bits = parsed.bits;
        m_base = parsed.base;
        if (parsed.setsSign)
            m_negative = parsed.negative;
    }
    m_lastText = text();
    emitValue();
}

void UniBaseInput::emitValue()
{
    if (m_float) {
        emit valueChanged(truncatedToInt(floatValue()));
        return;
    }
    if (!m_integer)
        return;
    // A number beyond the signed range that was typed as unsigned travels as unsigned.
    const bool unsignedOnly = !m_negative && value() < 0;
    emit valueChanged(unsignedOnly ? QVariant(unsignedValue()) : QVariant(value()));
    emit valueChanged(value());
}

void UniBaseInput::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !(event->modifiers() & Qt::ControlModifier)) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    event->ignore();
    if (!m_integer)
        return;
    if (m_base == 10) {
        // A negative number shows once more as unsigned decimal before it goes hexadecimal.
        const bool wasNegative = m_negative;
        m_negative = false;
        if (!(wasNegative && value() < 1))
            m_base = 16;
        updateText();
    } else if (m_base == 16) {
        m_negative = value() < 1;
        m_base = 10;
        updateText();
    }
}
