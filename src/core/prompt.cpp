#include "core/prompt.h"

#include "core/heldlocks.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>

namespace {

Prompt::Handler &handler()
{
    static Prompt::Handler s_handler;
    return s_handler;
}

} // namespace

void Prompt::setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

Prompt::Answer Prompt::ask(QWidget *parent, const Request &request)
{
    // A dialog runs events while it waits for its answer.
    HeldLocks::eventsMayRun("a question");
    if (handler())
        return handler()(request);
    return askPerson(parent, request);
}

Prompt::Answer Prompt::askPerson(QWidget *parent, const Request &request)
{
    Answer answer;
    switch (request.kind) {
    case Information:
        answer.button = QMessageBox::information(parent, request.title, request.text, request.buttons,
                                              request.defaultButton);
        break;
    case Warning:
        answer.button = QMessageBox::warning(parent, request.title, request.text, request.buttons,
                                              request.defaultButton);
        break;
    case Critical:
        answer.button = QMessageBox::critical(parent, request.title, request.text, request.buttons,
                                              request.defaultButton);
        break;
    case Question:
        answer.button = QMessageBox::question(parent, request.title, request.text, request.buttons,
                                              request.defaultButton);
        break;
    case OpenFile:
        answer.text = QFileDialog::getOpenFileName(parent, request.title, request.path, request.filter);
        break;
    case SaveFile:
        answer.text = QFileDialog::getSaveFileName(parent, request.title, request.path, request.filter);
        break;
    case Directory:
        answer.text = QFileDialog::getExistingDirectory(parent, request.title, request.path);
        break;
    case Text:
        answer.text = QInputDialog::getText(parent, request.title, request.text, QLineEdit::Normal, request.path,
                                            &answer.accepted);
        break;
    case Font:
        answer.font = QFontDialog::getFont(&answer.accepted, request.font, parent, request.title);
        break;
    case Number:
        answer.value = QInputDialog::getDouble(parent, request.title, request.text, request.value, request.minimum,
                                               request.maximum, request.decimals, &answer.accepted);
        break;
    }
    if (request.kind >= OpenFile && request.kind <= Directory)
        answer.accepted = !answer.text.isEmpty();
    return answer;
}

namespace {

Prompt::Request message(Prompt::Kind kind, const QString &title, const QString &text,
                        QMessageBox::StandardButtons buttons,
                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    Prompt::Request request;
    request.kind = kind;
    request.title = title;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return request;
}

Prompt::Request fileRequest(Prompt::Kind kind, const QString &caption, const QString &dir, const QString &filter)
{
    Prompt::Request request;
    request.kind = kind;
    request.title = caption;
    request.path = dir;
    request.filter = filter;
    return request;
}

} // namespace

QMessageBox::StandardButton Prompt::information(QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return ask(parent, message(Information, title, text, buttons, defaultButton)).button;
}

QMessageBox::StandardButton Prompt::warning(QWidget *parent, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return ask(parent, message(Warning, title, text, buttons, defaultButton)).button;
}

QMessageBox::StandardButton Prompt::critical(QWidget *parent, const QString &title, const QString &text,
                                             QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return ask(parent, message(Critical, title, text, buttons, defaultButton)).button;
}

QMessageBox::StandardButton Prompt::question(QWidget *parent, const QString &title, const QString &text,
                                             QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return ask(parent, message(Question, title, text, buttons, defaultButton)).button;
}

QString Prompt::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    const Answer answer = ask(parent, fileRequest(OpenFile, caption, dir, filter));
    return answer.accepted ? answer.text : QString();
}

QString Prompt::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    const Answer answer = ask(parent, fileRequest(SaveFile, caption, dir, filter));
    return answer.accepted ? answer.text : QString();
}

QString Prompt::getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    const Answer answer = ask(parent, fileRequest(Directory, caption, dir, QString()));
    return answer.accepted ? answer.text : QString();
}

QString Prompt::getText(QWidget *parent, const QString &title, const QString &label, const QString &text, bool *ok)
{
    Request request = message(Text, title, label, QMessageBox::Ok | QMessageBox::Cancel);
    request.path = text;
    const Answer answer = ask(parent, request);
    if (ok)
        *ok = answer.accepted;
    return answer.accepted ? answer.text : QString();
}

double Prompt::getDouble(QWidget *parent, const QString &title, const QString &label, double value, double minimum,
                         double maximum, int decimals, bool *ok)
{
    Request request = message(Number, title, label, QMessageBox::Ok | QMessageBox::Cancel);
    request.value = value;
    request.minimum = minimum;
    request.maximum = maximum;
    request.decimals = decimals;
    const Answer answer = ask(parent, request);
    if (ok)
        *ok = answer.accepted;
    return answer.accepted ? answer.value : value;
}

QFont Prompt::getFont(bool *ok, const QFont &initial, QWidget *parent, const QString &title)
{
    Request request;
    request.kind = Font;
    request.title = title;
    request.font = initial;
    const Answer answer = ask(parent, request);
    if (ok)
        *ok = answer.accepted;
    return answer.accepted ? answer.font : initial;
}
