#include "widgets/smallsymbolvalidator.h"

#include <QPalette>
#include <QWidget>

#include <algorithm>

namespace {

// Packed ASCII carries the 64 characters from the blank to the underscore. The double quote is
// among them but stays refused, as tag texts have never accepted it.
bool isAccepted(QChar c)
{
    const char16_t code = c.unicode();
    return code >= u' ' && code <= u'_' && code != u'"';
}

} // namespace

SmallSymbolValidator::SmallSymbolValidator(QWidget *widget)
    : QValidator(widget)
    , m_widget(widget)
{
}

QValidator::State SmallSymbolValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    QPalette palette = m_widget->palette();
    input = input.toUpper();
    const bool accepted = std::all_of(input.cbegin(), input.cend(), isAccepted);
    palette.setBrush(QPalette::Window, QBrush(accepted ? Qt::white : Qt::magenta));
    m_widget->setPalette(palette);
    return accepted ? Acceptable : Invalid;
}
