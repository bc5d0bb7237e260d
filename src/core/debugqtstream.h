#pragma once

#include "core/debugqt.h"

#include <QDebug>
#include <QMessageLogContext>
#include <QMetaObject>
#include <QString>

// One log statement in the making: the header the logger recognises, then the caller's items,
// each followed by one blank. A QString item is quoted as it stands (no escaping); other items
// are written as a Qt debug stream writes them.
class DebugQtStream
{
public:
    DebugQtStream(int level, const char *file, const char *function, int line, const QMetaObject *metaObject);
    ~DebugQtStream();

    DebugQtStream(const DebugQtStream &) = delete;
    DebugQtStream &operator=(const DebugQtStream &) = delete;

    DebugQtStream &operator<<(const QString &text);
    DebugQtStream &operator<<(const char *text);
    DebugQtStream &operator<<(char c);
    DebugQtStream &operator<<(bool value);

    template<typename T>
    DebugQtStream &operator<<(const T &value)
    {
        QString item;
        QDebug(&item).nospace() << value;
        return appendItem(item);
    }

private:
    DebugQtStream &appendItem(const QString &item);

    QString m_text;
    const char *m_file;
    const char *m_function;
    int m_line;
};

// Outside the member functions of QObject classes, an unqualified metaObject() finds this one,
// so free functions and plain classes are logged under the class name "static".
inline const QMetaObject *metaObject()
{
    return nullptr;
}

// Turns a finished statement into an expression of type void; '&' binds after every '<<'.
struct DebugQtVoidify
{
    void operator&(const DebugQtStream &) const {}
};

// The log statement: DEBUGQT_LOG(4) << "text" << value;
// In a static member function of a QObject class, use DEBUGQT_LOG_STATIC.
// When no mask lets the level through, nothing is built and the items are not evaluated. The
// statement is one expression, so it sits safely in an unbraced if or else.
#define DEBUGQT_LOG(level)                                                                     \
    !DebugQt::isEnabled(level) ? (void)0                                                      \
                               : DebugQtVoidify() & DebugQtStream((level), __FILE__, __func__, \
                                                                  __LINE__, metaObject())
#define DEBUGQT_LOG_STATIC(level)                                                              \
    !DebugQt::isEnabled(level) ? (void)0                                                      \
                               : DebugQtVoidify() & DebugQtStream((level), __FILE__, __func__, \
                                                                  __LINE__, nullptr)
