// Error accounting and the report: the header, the totals row, counting a failed step, the red
// device-error line, the end of a round and saving the report as a text file.

#include "testrunner/testdevicedialog.h"

#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "core/prompt.h"
#include "model/device.h"

#include <QDateTime>
#include <QDir>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidgetItem>

namespace {

constexpr int EventPassMs = 100;

} // namespace

void TestDeviceDialog::report(const QString &line)
{
    txtReport->appendPlainText(line);
}

void TestDeviceDialog::writeReportHeader()
{
    txtReport->clear();
    report(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
    report(tr("Test device %1 address:%2 number:%3\n").arg(txtName->text(), txtFullAddress->text(), txtNumber->text()));
}

void TestDeviceDialog::updateTotals()
{
    const int row = tableWidget->rowCount();
    if (row == 0)
        return;
    tableWidget->insertRow(row);
    auto *label = new QTableWidgetItem(tr("Total:"));
    label->setFlags(label->flags() & ~Qt::ItemIsEditable);
    auto *count = new QTableWidgetItem;
    count->setData(Qt::DisplayRole, 0);
    count->setFlags(count->flags() & ~Qt::ItemIsEditable);
    tableWidget->setItem(row, CyclesColumn, label);
    tableWidget->setItem(row, ErrorCountColumn, count);
}

void TestDeviceDialog::countError(const QString &errorText)
{
    ++m_roundErrorCount;
    ++m_testErrorCount;
    const QString deviceError = m_device ? m_device->lastErrorText() : QString();
    const QString text = errorText.isEmpty() ? deviceError : errorText;

    // Read-back failures are grouped by the device's error, every mismatch under one key.
    QString key = text;
    if (text.contains(tr("Checking cmd")))
        key = deviceError;
    else if (text.contains(tr("validation error")))
        key = tr("validation errors");
    ++m_roundErrors[key];
    ++m_testErrors[key];

    report(QLatin1Char('\t') + text);
    ++m_commandErrors[text];
}

void TestDeviceDialog::onAppendDeviceError(QString errorText)
{
    DEBUGQT_LOG(4) << "onAppendDeviceError" << errorText;
    errorText.replace(QLatin1Char('\n'), QStringLiteral(" - "));
    lbError->setText(QStringLiteral("<p style=\"color: red;\">%1</p>").arg(errorText.toHtmlEscaped()));
    HeldLocks::processEvents("the test dialog's error line", QEventLoop::AllEvents, EventPassMs);
}

void TestDeviceDialog::stopTest()
{
    DEBUGQT_LOG(4) << "stopTest";
    buttonBox->button(QDialogButtonBox::Close)->setEnabled(true);
    tableWidget->resizeColumnsToContents();
    lbError->clear();
    // A round index past the last round (the rounds were lowered after a cancel) is the end too.
    const bool finished = m_currentRow == tableWidget->rowCount() - 1 && m_roundIndex >= spnCycles->value() - 1;
    btnContinue->setVisible(!finished);
}

void TestDeviceDialog::on_btnSaveReport_clicked()
{
    const QString folder = QDir(QStringLiteral("./")).absolutePath();
    const QString name = tr("%1_%2_%3.txt")
                             .arg(cmbTemplates->currentText().replace(QLatin1Char(' '), QLatin1Char('_')),
                                  txtFullAddress->text(),
                                  QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd_hhmm")));
    const QString fileName = Prompt::getSaveFileName(this, tr("Save As..."), folder + QLatin1Char('/') + name,
                                                     QStringLiteral("Reports (*.txt);;All files (*)"));
    if (fileName.isEmpty())
        return;

    btnSaveReport->setEnabled(false);
    QString errorText;
    if (saveReport(fileName, &errorText))
        txtFilename->setText(fileName);
    else
        Prompt::warning(this, tr("Save report"), tr("Cannot open file for writing data: %1").arg(errorText),
                        QMessageBox::Cancel, QMessageBox::NoButton);
    btnSaveReport->setEnabled(true);
}

// Written through a temporary file that replaces the old one only when everything was written,
// so a failed save leaves the previous report as it was.
bool TestDeviceDialog::saveReport(const QString &fileName, QString *errorText) const
{
    QSaveFile file(fileName);
    const QByteArray bytes = txtReport->toPlainText().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *errorText = file.errorString();
        return false;
    }
    return true;
}
