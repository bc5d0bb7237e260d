#include "widgets/logwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "ui_logwidget.h"

#include <QDir>
#include <QEvent>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Unbuffered writes may stop short, on a full disk say; the next attempt then fails and leaves
// the reason in the file's error string.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

} // namespace

LogWidget::LogWidget(QWidget *parent)
    : StackPage(parent)
    , ui(std::make_unique<Ui::LogWidget>())
{
    DEBUGQT_LOG(4);
    ui->setupUi(this);
    m_linesLimit = 5000;
    initView();
}

LogWidget::~LogWidget() = default;

void LogWidget::initView()
{
    ui->modbusLogTextEdit->moveCursor(QTextCursor::End);
    ui->spnLines->setValue(m_linesLimit);
    ui->modbusLogTextEdit->document()->setMaximumBlockCount(m_linesLimit);
    if (parentWidget())
        ui->modbusLogTextEdit->setFont(parentWidget()->font());
    on_txtSearch_textChanged(QString());
}

void LogWidget::setLinesLimit(int lines)
{
    ui->spnLines->setValue(lines);
}

void LogWidget::appendLogMessage(int, const QString &message)
{
    // An error note inside a line starts a line of its own; a line that is an error note
    // from its start stays whole.
    QString text = message;
    if (text.indexOf(QLatin1String("***")) >= 1)
        text.replace(QLatin1String("***"), QLatin1String("\n***"));
    ui->modbusLogTextEdit->appendPlainText(text);
    ui->modbusLogTextEdit->moveCursor(QTextCursor::End);
}

void LogWidget::on_btnClear_clicked()
{
    ui->modbusLogTextEdit->clear();
}

void LogWidget::on_btnSearchDown_clicked()
{
    DEBUGQT_LOG(4) << ui->txtSearch->text();
    ui->modbusLogTextEdit->find(ui->txtSearch->text());
}

void LogWidget::on_btnSearchUp_clicked()
{
    DEBUGQT_LOG(4) << ui->txtSearch->text();
    ui->modbusLogTextEdit->find(ui->txtSearch->text(), QTextDocument::FindBackward);
}

void LogWidget::on_txtSearch_textChanged(const QString &text)
{
    ui->btnSearchUp->setEnabled(!text.isEmpty());
    ui->btnSearchDown->setEnabled(!text.isEmpty());
}

void LogWidget::on_spnLines_valueChanged(int lines)
{
    DEBUGQT_LOG(4) << lines;
    m_linesLimit = lines;
    ui->modbusLogTextEdit->document()->setMaximumBlockCount(lines);
}

void LogWidget::on_btnSaveAs_clicked()
{
    const QString fileName =
        Prompt::getSaveFileName(this, tr("Save As..."), QDir(QStringLiteral(".")).absolutePath() + QLatin1Char('/'),
                                QStringLiteral("Logs (*.log);;All files (*)"));
    if (fileName.isEmpty())
        return;

    // Written beside the target and put in its place only when complete, so a failed save
    // leaves the earlier file as it was. Unbuffered, because a buffered flush can lose the
    // tail of a short write without an error.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reportSaveFailure(file.errorString());
        return;
    }
    if (!writeAll(file, ui->modbusLogTextEdit->toPlainText().toUtf8()) || !file.commit())
        reportSaveFailure(file.errorString());
}

void LogWidget::reportSaveFailure(const QString &reason)
{
    DEBUGQT_LOG(2) << "*** cannot save the log:" << reason;
    Prompt::warning(this, tr("Save report"), tr("Cannot open file for writing log: %1").arg(reason),
                    QMessageBox::Cancel);
}

void LogWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
