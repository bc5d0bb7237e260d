// Test rounds and their control: Start and Continue, one round over the ticked step rows, the
// steps' reads and writes with read-back checks, waits, print lines and summaries.

#include "testrunner/testdevicedialog.h"

#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "core/utils.h"
#include "model/device.h"
#include "model/port.h"
#include "widgets/logwidget.h"
#include "widgets/readout.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStringList>
#include <QTableWidgetItem>

#include <limits>

namespace {

constexpr int EventPassMs = 100;
constexpr int MaxHartCommand = 255;

const QString ParametersKey = QStringLiteral("parameters");
const QString ReadCommandKey = QStringLiteral("read_cmd");
const QString PrintKey = QStringLiteral("print");
const QString DelayKey = QStringLiteral("delay");
const QString ReadDelayKey = QStringLiteral("read_delay");
const QString ClosePortKey = QStringLiteral("close_port");

// A HART command number from a template; a value that is no number reads as 0.
qint64 commandNumber(const QVariant &value)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    return ok ? number : 0;
}

// The text the pages show where nothing was measured.
QString notMeasuredText()
{
    return Readout::questionText(QVariant());
}

// One "<count> errors: <text>" line per distinct error text.
QStringList errorCountLines(const QMap<QString, int> &errors)
{
    QStringList lines;
    for (auto it = errors.cbegin(); it != errors.cend(); ++it)
        lines.append(TestDeviceDialog::tr("%1 errors: %2").arg(QString::number(it.value()), it.key()));
    return lines;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Run control

void TestDeviceDialog::on_btnStart_clicked()
{
    if (m_running)
        return;
    const QScopedValueRollback<bool> running(m_running, true);
    DEBUGQT_LOG(4) << "on_btnStart_clicked";
    buttonBox->button(QDialogButtonBox::Close)->setEnabled(false);
    m_testErrors.clear();
    m_testErrorCount = 0;
    writeReportHeader();
    m_roundIndex = 0;
    runRounds();
}

void TestDeviceDialog::on_btnContinue_clicked()
{
    if (m_running)
        return;
    const QScopedValueRollback<bool> running(m_running, true);
    buttonBox->button(QDialogButtonBox::Close)->setEnabled(false);
    testDevice();
    if (m_canceled)
        return;
    ++m_roundIndex;
    runRounds();
}

void TestDeviceDialog::runRounds()
{
    while (spnCycles->value() > m_roundIndex) {
        runTestRound();
        if (m_canceled)
            return;
        ++m_roundIndex;
    }
}

void TestDeviceDialog::runTestRound()
{
    m_progressCount = 0;
    m_currentRow = 0;
    clearErrorCells();
    m_roundErrorCount = 0;
    m_roundErrors.clear();
    const QString banner = tr("###### Test round %1 ######\n").arg(m_roundIndex + 1);
    report(banner);
    m_logWidget->appendLogMessage(0, banner);
    testDevice();
}

void TestDeviceDialog::writeRoundSummary()
{
    report(tr("Total round errors: %1\n").arg(m_roundErrorCount));
    for (const QString &line : errorCountLines(m_roundErrors))
        report(line);
    const int last = tableWidget->rowCount() - 1;
    if (last >= 0) {
        if (QTableWidgetItem *total = tableWidget->item(last, ErrorCountColumn)) {
            total->setText(QStringLiteral("%1").arg(m_roundErrorCount));
            tableWidget->scrollToItem(total, QAbstractItemView::EnsureVisible);
        }
    }
    if (m_roundIndex == spnCycles->value() - 1 && m_roundIndex > 0) {
        report(QString(20, QLatin1Char('_')));
        report(tr("Total test errors: %1\n").arg(m_testErrorCount));
        for (const QString &line : errorCountLines(m_testErrors))
            report(line);
        report(QStringLiteral(" \n"));
    }
}

// ---------------------------------------------------------------------------------------------
// One round

void TestDeviceDialog::testDevice()
{
    m_canceled = false;
    btnContinue->hide();

    // The dialog stays up until the round ends, whatever its value: closing itself at the
    // maximum would let the test dialog be reached while the round still runs.
    QProgressDialog progress(this);
    progress.setFont(font());
    progress.setWindowTitle(tr("Test round %1...").arg(m_roundIndex + 1));
    progress.setCancelButtonText(tr("Cancel"));
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setRange(0, roundMaximum());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    if (m_progressCount > 0)
        setProgress(progress, m_progressCount);

    while (m_currentRow < tableWidget->rowCount() - 1) {
        if (progress.wasCanceled()) {
            m_canceled = true;
            break;
        }
        if (tableWidget->item(m_currentRow, CmdColumn)->checkState() != Qt::Unchecked)
            runStep(progress);
        if (m_canceled)
            break;
        ++m_currentRow;
    }
    if (!m_canceled)
        writeRoundSummary();
    stopTest();
    progress.close();
}

int TestDeviceDialog::rowCycles(int row) const
{
    const qint64 cycles = tableWidget->item(row, CyclesColumn)->data(Qt::DisplayRole).toLongLong();
    return int(qMin<qint64>(qAbs(cycles), MaxCycles));
}

int TestDeviceDialog::roundMaximum() const
{
    qint64 total = 0;
    for (int row = 0; row < tableWidget->rowCount() - 1; ++row) {
        if (tableWidget->item(row, CmdColumn)->checkState() != Qt::Unchecked)
            total += rowCycles(row);
    }
    return int(qMin<qint64>(total, std::numeric_limits<int>::max()));
}

void TestDeviceDialog::setProgress(QProgressDialog &progress, int value) const
{
    // A cancelled dialog has hidden itself; a new value would show it again.
    if (progress.wasCanceled())
        return;
    HeldLocks::setProgress(progress, qBound(progress.minimum(), value, progress.maximum()));
}

void TestDeviceDialog::runStep(QProgressDialog &progress)
{
    const int row = m_currentRow;
    QTableWidgetItem *cmd = tableWidget->item(row, CmdColumn);
    m_currentCommand = cmd->data(Qt::DisplayRole).toInt();
    m_currentStep = mapValue(cmd->data(Qt::UserRole));
    DEBUGQT_LOG(4) << "### command map keys: " << m_currentStep.keys();

    QTableWidgetItem *context = tableWidget->item(row, ContextColumn);
    tableWidget->scrollToItem(context);
    const int cycles = rowCycles(row);
    const QString label = tr("Test command %1 - %2 (%3 cycles)...")
                              .arg(QString::number(m_currentCommand), context->text(), QString::number(cycles));
    progress.setLabelText(label);
    tableWidget->selectRow(row);
    m_logWidget->appendLogMessage(0, label);
    report(label);

    int stepErrors = tableWidget->item(row, ErrorCountColumn)->data(Qt::DisplayRole).toInt();
    if (stepErrors == 0)
        m_commandErrors.clear();
    const int progressAtStart = m_progressCount;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (!runCycle(progress, cycle, stepErrors))
            break;
    }
    // An interrupted step runs again from its first cycle when the round is continued, so the
    // cycles it counted are taken back.
    if (m_canceled)
        m_progressCount = progressAtStart;
    writeStepSummary(stepErrors);
}

// Returns false when the step is to end (the user cancelled).
bool TestDeviceDialog::runCycle(QProgressDialog &progress, int cycle, int &stepErrors)
{
    if (checkCanceled(progress, QString()))
        return false;
    const QVariantMap parameters = mapValue(m_currentStep.value(ParametersKey));
    if (parameters.isEmpty()) {
        DEBUGQT_LOG(4) << QStringLiteral("readDevice(%1) %2").arg(m_currentCommand).arg(cycle);
        QString errorText;
        m_answer.clear();
        const bool read = transact(false, m_currentCommand, &errorText);
        if (!read) {
            countError(errorText);
            ++stepErrors;
        }
        if (checkCanceled(progress, DelayKey))
            return false;
        formatPrintStep(read);
    } else {
        runValueSets(progress, cycle, parameters, stepErrors);
    }
    finishCycle(progress, stepErrors);
    return !m_canceled;
}

void TestDeviceDialog::runValueSets(QProgressDialog &progress, int cycle, const QVariantMap &parameters,
                                    int &stepErrors)
{
    qsizetype sets = std::numeric_limits<qsizetype>::max();
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        const qsizetype length = listValue(it.value()).size();
        DEBUGQT_LOG(4) << it.key() << length;
        sets = qMin(sets, length);
    }
    const QString cycleLine = QLatin1Char('\t') + tr("--- cycle: %1 ---").arg(cycle + 1);
    if (cycle > 0 && m_currentStep.contains(PrintKey))
        report(cycleLine);

    const QString description = tableWidget->item(m_currentRow, ContextColumn)->text();
    for (qsizetype index = 0; index < sets; ++index) {
        if (checkCanceled(progress, QString()))
            return;
        QStringList values;
        for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
            const QVariant value = listValue(it.value()).at(index);
            DEBUGQT_LOG(4) << it.key() << value;
            values.append(Utils::variantToText(value));
            m_device->setParameter(it.key(), value);
        }
        DEBUGQT_LOG(4) << QStringLiteral("writeDevice(%1)").arg(m_currentCommand);
        m_answer.clear();
        const QString valuesText = values.join(QStringLiteral(" | ")).trimmed();
        const QString valuesLine = tr("values - [%1]").arg(valuesText);
        progress.setLabelText(
            tr("Test command %1 - %2...\n%3").arg(QString::number(m_currentCommand), description, valuesLine));
        if (cycle == 0) {
            report(QLatin1Char('\t') + valuesLine);
            m_logWidget->appendLogMessage(0, QStringLiteral("\n\t") + tr("writing ") + valuesLine);
        }
        QString errorText;
        const bool written = transact(true, m_currentCommand, &errorText);
        if (!written) {
            if (cycle > 0)
                report(cycleLine);
            report(QStringLiteral("\n\t") + tr("when writing a values [%1], an error occurred:").arg(valuesText));
            countError(errorText);
            ++stepErrors;
        }
        if (checkCanceled(progress, DelayKey))
            return;
        bool answered = written;
        if (written && m_currentStep.contains(ReadCommandKey)) {
            answered = checkReadBack(progress, parameters, int(index), stepErrors);
            if (checkCanceled(progress, ReadDelayKey))
                return;
        }
        formatPrintStep(answered);
    }
}

// Returns whether the device answered the read-back; a value that differs is counted, yet answered.
bool TestDeviceDialog::checkReadBack(QProgressDialog &progress, const QVariantMap &parameters, int index,
                                     int &stepErrors)
{
    const qint64 readCommand = commandNumber(m_currentStep.value(ReadCommandKey));
    DEBUGQT_LOG(4) << QStringLiteral("*** check -> readDevice(%1)").arg(readCommand);
    const QString description = tableWidget->item(m_currentRow, ContextColumn)->text();
    progress.setLabelText(tr("Test command %1 - %2...\ncheck result by command %3")
                              .arg(QString::number(m_currentCommand), description, QString::number(readCommand)));
    // A value left over from the write must not pass the check.
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        m_device->setParameter(it.key(), QVariant());
        m_answer.remove(it.key());
    }

    QString errorText;
    if (!transact(false, readCommand, &errorText)) {
        if (errorText.isEmpty())
            errorText = tr("Checking cmd %1: %2").arg(QString::number(readCommand), m_device->lastErrorText());
        countError(errorText);
        ++stepErrors;
        return false;
    }
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        const QVariant received = m_answer.value(it.key());
        QVariant sent = listValue(it.value()).at(index);
        // A float parameter is compared with the sent value as the float the device was given.
        bool number = false;
        const double sentNumber = sent.toDouble(&number);
        if (received.typeId() == QMetaType::Float && number)
            sent = QVariant(float(sentNumber));
        const QString sentText = Utils::variantToText(sent);
        const QString receivedText = Utils::variantToText(received);
        const bool equal = sentText == receivedText;
        DEBUGQT_LOG(4) << "### validation: " << it.key() << (equal ? "true" : "false") << sentText << receivedText;
        if (!equal) {
            countError(tr("%1 validation error: send:%2 recv:%3").arg(it.key(), sentText, receivedText));
            ++stepErrors;
        }
    }
    return true;
}

void TestDeviceDialog::finishCycle(QProgressDialog &progress, int &stepErrors)
{
    ++m_progressCount;
    setProgress(progress, m_progressCount);
    if (m_currentStep.contains(ClosePortKey) && m_currentStep.value(ClosePortKey).toBool()) {
        DEBUGQT_LOG(4) << "close_port" << "true";
        if (Port *port = m_device->port())
            port->closeLine();
    }
    if (stepErrors != 0)
        tableWidget->item(m_currentRow, ErrorCountColumn)->setData(Qt::DisplayRole, stepErrors);
    DEBUGQT_LOG(4) << QString(49, QLatin1Char('#'));
}

// One HART read or write of the step. A number that is no HART command is a failure of its own,
// with nothing sent; errorText then names it (otherwise it stays empty: the device's error holds).
// What the command stores in the device joins m_answer.
bool TestDeviceDialog::transact(bool write, qint64 command, QString *errorText)
{
    if (command < 0 || command > MaxHartCommand) {
        *errorText = tr("Command number %1 is outside 0-255; nothing was sent").arg(command);
        return false;
    }
    const Device::ReadCapture stored(m_device);
    const bool done = write ? m_device->writeDevice(int(command)) : m_device->readDevice(int(command));
    m_answer.insert(stored.values());
    return done;
}

void TestDeviceDialog::writeStepSummary(int stepErrors)
{
    const QString status = m_canceled ? tr("was interrupted") : tr("completed");
    const QString line = tr("Test of command %1 %2.").arg(QString::number(m_currentCommand), status);
    if (m_canceled) {
        const QString framed = QStringLiteral("\n === ") + line + QStringLiteral(" ===\n");
        report(framed);
        m_logWidget->appendLogMessage(0, framed);
    } else {
        report(QLatin1Char('\n') + line);
        m_logWidget->appendLogMessage(0, QLatin1Char('\n') + line + QLatin1Char('\n'));
    }

    QTableWidgetItem *countItem = tableWidget->item(m_currentRow, ErrorCountColumn);
    QTableWidgetItem *textItem = tableWidget->item(m_currentRow, ErrorTextColumn);
    if (stepErrors == 0) {
        countItem->setText(tr("No errors."));
        report(tr("No errors.") + QLatin1Char('\n'));
        textItem->setText(QString());
        return;
    }
    const QStringList lines = errorCountLines(m_commandErrors);
    const QString joined = lines.join(QLatin1Char('\n'));
    textItem->setText(joined);
    if (m_canceled)
        return;
    report(QString(30, QLatin1Char('-')));
    report(joined);
    const QString total = tr("total command %1 errors: %2\n").arg(m_currentCommand).arg(stepErrors);
    report(total);
    if (!lines.isEmpty()) {
        m_logWidget->appendLogMessage(0, joined);
        m_logWidget->appendLogMessage(0, total);
    }
    tableWidget->scrollToItem(textItem);
    if (!joined.isEmpty())
        tableWidget->resizeColumnToContents(ErrorTextColumn);
    tableWidget->resizeRowToContents(m_currentRow);
}

// Lets events through, waits as the step asks for the key (none for an empty key) and tells
// whether the user cancelled.
bool TestDeviceDialog::checkCanceled(QProgressDialog &progress, const QString &key)
{
    HeldLocks::processEvents("a test step", QEventLoop::AllEvents, EventPassMs);
    if (progress.wasCanceled()) {
        m_canceled = true;
        return true;
    }
    if (!key.isEmpty()) {
        const int ms = waitTime(key);
        // In slices, so that the window repaints and Cancel ends a long wait at once.
        Utils::waitProcessingEvents(quint32(ms), QEventLoop::AllEvents,
                                    [&progress] { return progress.wasCanceled(); });
        if (m_currentStep.contains(key))
            DEBUGQT_LOG(4) << "#######" << key << ":" << ms;
    }
    if (progress.wasCanceled()) {
        m_canceled = true;
        return true;
    }
    return false;
}

// The step's own wait for the key, or the pause; a wait that is absent, not a number, 0 or
// negative is the pause, and none lasts longer than MaxWaitMs.
int TestDeviceDialog::waitTime(const QString &key) const
{
    bool ok = false;
    const qint64 ms = m_currentStep.value(key).toLongLong(&ok);
    if (!ok || ms <= 0)
        return spnPause->value();
    return int(qMin<qint64>(ms, MaxWaitMs));
}

// The print line holds what the device answered, the cycle's own answer where its commands stored
// the key. After a failed read, write or read-back the device holds only values it did not answer
// then (left by an earlier command, or put there for the write), so every key shows the dashes of
// a value nobody measured, as does a number the device answered as NaN.
void TestDeviceDialog::formatPrintStep(bool answered)
{
    if (!m_currentStep.contains(PrintKey))
        return;
    QString line;
    const QVariantList keys = listValue(m_currentStep.value(PrintKey));
    for (const QVariant &entry : keys) {
        const QString key = entry.toString();
        line += line.isEmpty() ? QStringLiteral("\t") : QStringLiteral(" | ");
        const QVariant value = !answered                ? QVariant()
                               : m_answer.contains(key) ? m_answer.value(key)
                                                        : m_device->parameter(key);
        // A number the device answered as NaN or infinity is a variable it did not measure.
        const bool number = value.typeId() == QMetaType::Float || value.typeId() == QMetaType::Double;
        if (!answered || (number && !Readout::isMeasured(value))) {
            line += QStringLiteral("%1: %2").arg(key, notMeasuredText());
            continue;
        }
        if (value.typeId() == QMetaType::QByteArray)
            line += key + QStringLiteral(": 0x") + Utils::bufferToHex(value.toByteArray()).remove(QLatin1Char(' ')).toUpper();
        else
            line += QStringLiteral("%1: %2").arg(key, Utils::variantToText(value));
    }
    if (!line.isEmpty())
        report(line);
}
