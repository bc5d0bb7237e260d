#include "widgets/readout.h"

#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLCDNumber>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QWheelEvent>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Readout {

namespace {

const QString NotMeasured = QStringLiteral("----");
// Set on a number field while it shows that the instrument gave no value.
const char NoValueProperty[] = "tenvara_no_value";
const char WatchedProperty[] = "tenvara_no_value_watched";
// The range the form gave a number field, kept while the field is widened for an instrument's value.
const char FormMinimumProperty[] = "tenvara_form_minimum";
const char FormMaximumProperty[] = "tenvara_form_maximum";
// Set while the program shows a value in the field.
const char ShowingProperty[] = "tenvara_showing";

double numberIn(const QAbstractSpinBox *field)
{
    if (const auto *decimal = qobject_cast<const QDoubleSpinBox *>(field))
        return decimal->value();
    return double(static_cast<const QSpinBox *>(field)->value());
}

double minimumOf(const QAbstractSpinBox *field)
{
    if (const auto *decimal = qobject_cast<const QDoubleSpinBox *>(field))
        return decimal->minimum();
    return double(static_cast<const QSpinBox *>(field)->minimum());
}

double maximumOf(const QAbstractSpinBox *field)
{
    if (const auto *decimal = qobject_cast<const QDoubleSpinBox *>(field))
        return decimal->maximum();
    return double(static_cast<const QSpinBox *>(field)->maximum());
}

// A whole-number field holds only what an int holds; a double field any finite value.
bool canHold(const QAbstractSpinBox *field, double number)
{
    return qobject_cast<const QDoubleSpinBox *>(field)
        || (number >= double(std::numeric_limits<int>::min()) && number <= double(std::numeric_limits<int>::max()));
}

void setRange(QAbstractSpinBox *field, double minimum, double maximum)
{
    if (auto *decimal = qobject_cast<QDoubleSpinBox *>(field))
        decimal->setRange(minimum, maximum);
    else
        static_cast<QSpinBox *>(field)->setRange(int(minimum), int(maximum));
}

// The field's range is the form's, widened to hold the number given (none for NaN): an
// instrument's value beyond the form's range shows as it is, never as the limit it would be
// clamped to. The next value within the form's range, or none, gives the field the form's
// range back.
void holdInRange(QAbstractSpinBox *field, double number)
{
    if (!field->property(FormMinimumProperty).isValid()) {
        field->setProperty(FormMinimumProperty, minimumOf(field));
        field->setProperty(FormMaximumProperty, maximumOf(field));
    }
    double minimum = field->property(FormMinimumProperty).toDouble();
    double maximum = field->property(FormMaximumProperty).toDouble();
    if (!std::isnan(number)) {
        minimum = std::min(minimum, number);
        maximum = std::max(maximum, number);
    }
    setRange(field, minimum, maximum);
}

// A widened field holds the form's range and the one value the instrument gave beyond it.
bool isWidened(const QAbstractSpinBox *field)
{
    const QVariant formMinimum = field->property(FormMinimumProperty);
    return formMinimum.isValid()
        && (minimumOf(field) != formMinimum.toDouble()
            || maximumOf(field) != field->property(FormMaximumProperty).toDouble());
}

// Any edit of a widened field leaves a value within the form's range: the field takes the
// form's range back, which moves a value beyond it to the nearer limit, as a step beyond a
// limit lands on it.
void narrowToForm(QAbstractSpinBox *field)
{
    if (isWidened(field))
        setRange(field, field->property(FormMinimumProperty).toDouble(), field->property(FormMaximumProperty).toDouble());
}

bool onStepButton(const QAbstractSpinBox *field, const QPoint &position)
{
    if (field->buttonSymbols() == QAbstractSpinBox::NoButtons)
        return false;
    QStyleOptionSpinBox option;
    option.initFrom(field);
    option.frame = field->hasFrame();
    option.buttonSymbols = field->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp
                         | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QStyle::SubControl control
        = field->style()->hitTestComplexControl(QStyle::CC_SpinBox, &option, position, field);
    return control == QStyle::SC_SpinBoxUp || control == QStyle::SC_SpinBoxDown;
}

// A wheel steps a number field a whole notch of 120 eighths of a degree up or down at a time, as
// Qt counts them: a part of a notch (a touchpad's) is kept until the notches add up, and a
// sideways turn steps nothing.
bool isWheelStep(QEvent *event, int *remainder)
{
    *remainder += static_cast<QWheelEvent *>(event)->angleDelta().y();
    const int notches = *remainder / QWheelEvent::DefaultDeltasPerStep;
    *remainder -= notches * QWheelEvent::DefaultDeltasPerStep;
    return notches != 0;
}

bool isStep(const QAbstractSpinBox *field, QEvent *event, int *wheelRemainder)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    }
    case QEvent::Wheel:
        return isWheelStep(event, wheelRemainder);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        return mouse->button() == Qt::LeftButton && onStepButton(field, mouse->position().toPoint());
    }
    default:
        return false;
    }
}

// A step from the instrument's value beyond the form's range lands on the form's nearer limit,
// whichever way it goes: the value is no point of the form's range to step from, and a step
// further out would leave the range. Steps from a value within the range are Qt's own.
class FormRangeStep : public QObject
{
public:
    explicit FormRangeStep(QAbstractSpinBox *field)
        : QObject(field), m_field(field)
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Every event of the field passes here: what is cheapest to tell goes first. Every wheel
        // turn is counted, the field widened or not, so that parts of a notch add up as Qt's do.
        if (watched != m_field || !isStep(m_field, event, &m_wheelRemainder) || !m_field->isEnabled()
            || m_field->isReadOnly() || !isWidened(m_field))
            return false;
        narrowToForm(m_field);
        event->accept();
        return true;
    }

private:
    QAbstractSpinBox *m_field;
    int m_wheelRemainder = 0;
};

void setNumber(QAbstractSpinBox *field, double number)
{
    if (auto *decimal = qobject_cast<QDoubleSpinBox *>(field))
        decimal->setValue(number);
    else
        static_cast<QSpinBox *>(field)->setValue(int(number));
}

void announceNumber(QAbstractSpinBox *field)
{
    if (auto *decimal = qobject_cast<QDoubleSpinBox *>(field))
        emit decimal->valueChanged(decimal->value());
    else
        emit static_cast<QSpinBox *>(field)->valueChanged(static_cast<QSpinBox *>(field)->value());
}

bool showsNoValue(const QAbstractSpinBox *field)
{
    return field->property(NoValueProperty).toBool();
}

// The dashes are the special-value text, shown while the field stands at its minimum. A number
// taking their place keeps the text until the dashes would show for it: replacing it while a
// person types would rewrite the line under the cursor.
void dropDashesShown(QAbstractSpinBox *field)
{
    if (!showsNoValue(field) && !field->specialValueText().isEmpty() && field->text() == field->specialValueText())
        field->setSpecialValueText(QString());
}

void onTyped(QAbstractSpinBox *field, const QString &text)
{
    QString typed = text;
    int position = 0;
    if (!showsNoValue(field) || typed == NotMeasured || field->validate(typed, position) != QValidator::Acceptable)
        return;
    field->setProperty(NoValueProperty, false);
    // The field now holds a number. One equal to its minimum changes no value, so the field
    // would not tell its listeners that it was typed.
    announceNumber(field);
}

void onValueChanged(QAbstractSpinBox *field)
{
    if (showsNoValue(field) && numberIn(field) != minimumOf(field))
        field->setProperty(NoValueProperty, false);
    dropDashesShown(field);
    // A value the program did not show is an edit: typed, pasted or stepped from the menu.
    if (!field->property(ShowingProperty).toBool())
        narrowToForm(field);
}

void watch(QAbstractSpinBox *field)
{
    if (field->property(WatchedProperty).toBool())
        return;
    field->setProperty(WatchedProperty, true);
    if (QLineEdit *line = field->findChild<QLineEdit *>()) {
        QObject::connect(line, &QLineEdit::textEdited, field,
                         [field](const QString &text) { onTyped(field, text); });
    }
    if (auto *decimal = qobject_cast<QDoubleSpinBox *>(field))
        QObject::connect(decimal, &QDoubleSpinBox::valueChanged, field, [field] { onValueChanged(field); });
    else if (auto *whole = qobject_cast<QSpinBox *>(field))
        QObject::connect(whole, &QSpinBox::valueChanged, field, [field] { onValueChanged(field); });
    QObject::connect(field, &QAbstractSpinBox::editingFinished, field, [field] { dropDashesShown(field); });
    new FormRangeStep(field);
}

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

QString numberText(const QVariant &value, char format, int precision)
{
    return isMeasured(value) ? QString::number(double(value.toFloat()), format, precision) : NotMeasured;
}

QString questionText(const QVariant &value)
{
    return numberText(value, 'f', 3);
}

void show(QAbstractSpinBox *field, const QVariant &value)
{
    if (!qobject_cast<QDoubleSpinBox *>(field) && !qobject_cast<QSpinBox *>(field))
        return;
    watch(field);
    // A whole-number field takes the nearest whole number, as a variant's conversion gives it.
    const double number = qobject_cast<QSpinBox *>(field) ? std::round(value.toDouble()) : value.toDouble();
    const bool measured = isMeasured(value) && canHold(field, number);
    field->setProperty(ShowingProperty, true);
    // The range first: a value it clamps on the way is none of the instrument's.
    holdInRange(field, measured ? number : std::numeric_limits<double>::quiet_NaN());
    field->setProperty(NoValueProperty, !measured);
    field->setSpecialValueText(measured ? QString() : NotMeasured);
    setNumber(field, measured ? number : minimumOf(field));
    field->setProperty(ShowingProperty, false);
}

QVariant value(const QAbstractSpinBox *field)
{
    if (showsNoValue(field))
        return QVariant();
    if (const auto *whole = qobject_cast<const QSpinBox *>(field))
        return whole->value();
    return numberIn(field);
}

} // namespace Readout
