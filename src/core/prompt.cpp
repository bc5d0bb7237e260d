#include "core/prompt.h"

#include <QFileDialog>
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
    if (handler())
        return handler()(request);
    return askPerson(parent, request);
}

Prompt::Answer Prompt::askPerson(QWidget *parent, const Request &request)
{
    Answer answer;
    switch (request.kind) {
    case Information:
        answer.button = QMessageBox::information(parent, request.title, request.text, request.buttons);
        break;
    case Warning:
        answer.button = QMessageBox::warning(parent, request.title, request.text, request.buttons);
        break;
    case Critical:
        answer.button = QMessageBox::critical(parent, request.title, request.text, request.buttons);
        break;
    case Question:
        answer.button = QMessageBox::question(parent, request.title, request.text, request.buttons);
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
    }
    if (request.kind >= OpenFile && request.kind <= Directory)
        answer.accepted = !answer.text.isEmpty();
    return answer;
}

namespace {

Prompt::Request message(Prompt::Kind kind, const QString &title, const QString &text,
                        QMessageBox::StandardButtons buttons)
{
    Prompt::Request request;
    request.kind = kind;
    request.title = title;
    request.text = text;
    request.buttons = buttons;
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
                                                QMessageBox::StandardButtons buttons)
{
    return ask(parent, message(Information, title, text, buttons)).button;
}

QMessageBox::StandardButton Prompt::warning(QWidget *parent, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons)
{
    return ask(parent, message(Warning, title, text, buttons)).button;
}

QMessageBox::StandardButton Prompt::critical(QWidget *parent, const QString &title, const QString &text,
                                             QMessageBox::StandardButtons buttons)
{
    return ask(parent, message(Critical, title, text, buttons)).button;
}

QMessageBox::StandardButton Prompt::question(QWidget *parent, const QString &title, const QString &text,
                                             QMessageBox::StandardButtons buttons)
{
    return ask(parent, message(Question, title, text, buttons)).button;
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
