#include "core/debugqtstream.h"

#include <QStringList>

namespace {

// A header item must hold no blank, or the handler would split it apart.
QString headerItem(const char *text)
{
    QString item = QString::fromUtf8(text);
    item.replace(QLatin1Char(' '), QLatin1Char('_'));
    return item;
}

} // namespace

DebugQtStream::DebugQtStream(int level, const char *file, const char *function, int line,
                             const QMetaObject *metaObject)
    : m_file(file)
    , m_function(function)
    , m_line(line)
{
    const QString className = metaObject ? headerItem(metaObject->className()) : QStringLiteral("static");
    const QStringList header{QStringLiteral("__DEBUGQT_PREFIX__"), QString::number(level), headerItem(file),
                             headerItem(function), QString::number(line), className};
    m_text = header.join(QLatin1Char(' ')) + QStringLiteral(" * 0 ");
}

DebugQtStream::~DebugQtStream()
{
    const QMessageLogContext context(m_file, m_line, m_function, "default");
    qt_message_output(QtDebugMsg, context, m_text);
}

DebugQtStream &DebugQtStream::operator<<(const QString &text)
{
    return appendItem(QLatin1Char('"') + text + QLatin1Char('"'));
}

DebugQtStream &DebugQtStream::operator<<(const char *text)
{
    return appendItem(QString::fromUtf8(text));
}

DebugQtStream &DebugQtStream::operator<<(char c)
{
    return appendItem(QString(QLatin1Char(c)));
}

DebugQtStream &DebugQtStream::operator<<(bool value)
{
    return appendItem(value ? QStringLiteral("true") : QStringLiteral("false"));
}

DebugQtStream &DebugQtStream::appendItem(const QString &item)
{
    m_text += item;
    m_text += QLatin1Char(' ');
    return *this;
}
