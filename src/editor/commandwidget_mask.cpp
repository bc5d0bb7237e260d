// The layout mask of the command page: "[offset]type[length] ..." decoded over the last answer.
#include "editor/commandwidget.h"

#include "core/debugqtstream.h"
#include "core/utils.h"
#include "model/port.h"
#include "widgets/readout.h"

namespace {

constexpr int DefaultIntSize = 3;
constexpr int FloatSize = 4;
const QString Separator = QStringLiteral(" | ");

bool isDecimalDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Digits of any count as a number no larger than the limit; false when it is larger.
bool toBoundedNumber(const QString &digits, int limit, int &number)
{
    if (digits.isEmpty()) {
        number = 0;
        return true;
    }
    bool ok = false;
    number = digits.toInt(&ok);
    return ok && number <= limit;
}

} // namespace

void CommandWidget::on_btnParsing_clicked()
{
    txtResult->clear();
    lbMaskError->clear();
    setMaskFieldColor(false);

    const QStringList pieces = txtMask->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int position = 0;
    for (const QString &piece : pieces) {
        const QString token = piece.trimmed();
        if (token.isEmpty())
            continue;
        QString value;
        const QString error = decodeToken(token, position, value);
        if (!error.isEmpty()) {
            lbMaskError->setText(error);
            setMaskFieldColor(true);
            return;
        }
        txtResult->setText(txtResult->text() + value + Separator);
    }
}

QString CommandWidget::decodeToken(const QString &token, int &position, QString &value)
{
    QString offsetDigits;
    QString lengthDigits;
    QChar type;
    for (const QChar c : token) {
        if (type.isNull()) {
            if (isDecimalDigit(c))
                offsetDigits.append(c);
            else if (c.isLetter())
                type = c;
            else
                return tr("Invalid type char");
        } else if (isDecimalDigit(c)) {
            lengthDigits.append(c);
        } else {
            return tr("Invalid lenght char");
        }
    }

    // Many digits would overflow the running position; a HART answer is far shorter anyway.
    int offset = 0;
    int length = 0;
    if (!toBoundedNumber(offsetDigits, MaxMaskNumber, offset) || !toBoundedNumber(lengthDigits, MaxMaskNumber, length))
        return tr("Offset or length above %1").arg(MaxMaskNumber);
    const int start = offsetDigits.isEmpty() ? position : offset;
    DEBUGQT_LOG(4) << "token" << token << "position" << start << "length" << length;

    int size = 0;
    const QString error = decodeField(type.toLower(), start, length, value, size);
    if (error.isEmpty())
        position = start + size;
    return error;
}

QString CommandWidget::decodeField(QChar type, int position, int length, QString &value, int &size)
{
    // The port's readers take bytes past the end of the answer as 0 and never read beyond it.
    if (type == QLatin1Char('b')) {
        size = 1;
        value = QString::number(Utils::byteAt(m_answer, position));
    } else if (type == QLatin1Char('f')) {
        size = FloatSize;
        value = Readout::numberText(Port::getFloatFromBufferByOffset(m_answer, position), 'f', 6);
    } else if (type == QLatin1Char('i')) {
        size = length == 0 ? DefaultIntSize : length;
        value = QStringLiteral("%1").arg(Port::getIntFromBufferByOffset(m_answer, position, size));
    } else if (type == QLatin1Char('t')) {
        if (length == 0)
            return tr("Invalid text lenght");
        size = length;
        Port *line = port();
        value = line ? line->unpackAscii(m_answer.mid(position, length)) : QString();
    } else {
        return tr("Invalid type char");
    }
    return QString();
}
