#include "promptrecorder.h"

PromptRecorder::PromptRecorder()
{
    Prompt::setHandler([this](const Prompt::Request &request) {
        requests.append(request);
        if (whileAsked)
            whileAsked();
        return m_answers.isEmpty() ? defaultAnswer : m_answers.takeFirst();
    });
}

PromptRecorder::~PromptRecorder()
{
    Prompt::setHandler(Prompt::Handler());
}

void PromptRecorder::answerButton(QMessageBox::StandardButton button)
{
    Prompt::Answer answer;
    answer.button = button;
    m_answers.append(answer);
}

void PromptRecorder::answerText(const QString &text)
{
    Prompt::Answer answer;
    answer.text = text;
    m_answers.append(answer);
}

void PromptRecorder::answerCancel()
{
    Prompt::Answer answer;
    answer.button = QMessageBox::Cancel;
    answer.accepted = false;
    m_answers.append(answer);
}

void PromptRecorder::answerFont(const QFont &font)
{
    Prompt::Answer answer;
    answer.font = font;
    m_answers.append(answer);
}

void PromptRecorder::answerNumber(double value)
{
    Prompt::Answer answer;
    answer.value = value;
    m_answers.append(answer);
}
