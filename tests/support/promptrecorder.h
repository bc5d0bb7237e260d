#pragma once

#include "core/prompt.h"

#include <QList>

// Answers the program's prompts in tests: records every request and hands out queued answers
// (or a default answer when the queue is empty). Restores the real dialogs when destroyed.
class PromptRecorder
{
public:
    PromptRecorder();
    ~PromptRecorder();

    PromptRecorder(const PromptRecorder &) = delete;
    PromptRecorder &operator=(const PromptRecorder &) = delete;

    void answerButton(QMessageBox::StandardButton button);
    void answerText(const QString &text);      // a chosen file, folder or typed text
    void answerCancel();
    void answerFont(const QFont &font);
    void answerNumber(double value);

    QList<Prompt::Request> requests;
    Prompt::Answer defaultAnswer;
    // Runs while a prompt is open, before it is answered.
    std::function<void()> whileAsked;

private:
    QList<Prompt::Answer> m_answers;
};
