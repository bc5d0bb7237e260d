#include "editor/statuswidget.h"

#include "core/heldlocks.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "editor/devicewidget.h"
#include "model/device.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int RepaintLimitMs = 100;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// While it lives, drops user input that reaches any object other than a modal window opened
// meanwhile. The event loop's own flag holds back the input of the window system; this also
// stops input that arrives as posted events.
class InputHoldBack : public QObject
{
public:
    InputHoldBack() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputHoldBack() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isUserInput(event->type()))
            return false;
        return !belongsToModalWindow(watched);
    }

private:
    static bool belongsToModalWindow(QObject *watched)
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return false;
        if (auto *widget = qobject_cast<QWidget *>(watched))
            return widget == modal || modal->isAncestorOf(widget);
        if (auto *window = qobject_cast<QWindow *>(watched))
            return window == modal->windowHandle();
        return false;
    }
};

} // namespace

StatusWidget::StatusWidget(DeviceWidget *page)
    : QWidget(page)
{
    setupForm();
    lbError->clear();
    progressBar->setValue(0);
    if (!page)
        return;
    connect(page, &DeviceWidget::deviceChanged, this, &StatusWidget::onDeviceChanged);
    connect(page, &DeviceWidget::init_progress_bar, this, &StatusWidget::onInitProgressBar);
    connect(page, &DeviceWidget::next_step, this, &StatusWidget::onNextStep);
    connect(page, &DeviceWidget::show_final_message, this, &StatusWidget::onShowFinalMessage);
}

void StatusWidget::setupForm()
{
    setObjectName(QStringLiteral("StatusWidget"));
    resize(951, 34);
    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(5);
    verticalLayout->setContentsMargins(5, 5, 5, 3);
    horizontalLayout_19 = new QHBoxLayout();
    horizontalLayout_19->setObjectName(QStringLiteral("horizontalLayout_19"));

    lbStatus = new QLabel(this);
    lbStatus->setObjectName(QStringLiteral("lbStatus"));
    lbStatus->setMinimumSize(60, 3);
    lbStatus->setFrameShape(QFrame::Panel);
    lbStatus->setFrameShadow(QFrame::Sunken);

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    progressBar->setMaximumHeight(24);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);

    lbError = new QLabel(this);
    lbError->setObjectName(QStringLiteral("lbError"));
    lbError->setFrameShape(QFrame::Panel);
    lbError->setFrameShadow(QFrame::Sunken);
    // A long message wraps rather than widening the page it sits on.
    lbError->setWordWrap(true);

    horizontalLayout_19->addWidget(lbStatus, 1);
    horizontalLayout_19->addWidget(progressBar, 5);
    horizontalLayout_19->addWidget(lbError, 35);
    verticalLayout->addLayout(horizontalLayout_19);
    retranslateForm();
}

void StatusWidget::retranslateForm()
{
    setWindowTitle(tr("Form"));
    lbStatus->setText(tr("Status"));
}

void StatusWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateForm();
        lbError->clear();
        return;
    }
    QWidget::changeEvent(event);
}

void StatusWidget::repaintNow()
{
    // Events let through here may change a strip again (a poller's log lines reach every strip
    // of its device): the repaint under way takes their changes too, so repaints never nest.
    static bool repainting = false;
    if (repainting)
        return;
    const QScopedValueRollback<bool> nested(repainting, true);
    const InputHoldBack holdBack;
    HeldLocks::processEvents("a status repaint", QEventLoop::ExcludeUserInputEvents, RepaintLimitMs);
}

void StatusWidget::onDeviceChanged(Device *device)
{
    if (m_device) {
        disconnect(m_device, &Device::modbusMessage, this, &StatusWidget::onShowLogMessage);
        disconnect(m_device, &Device::deviceStatus, this, &StatusWidget::onAppendDeviceStatus);
        disconnect(m_device, &Device::deviceError, this, &StatusWidget::onAppendDeviceError);
    }
    m_device = device;
    if (!m_device)
        return;
    connect(m_device, &Device::modbusMessage, this, &StatusWidget::onShowLogMessage);
    connect(m_device, &Device::deviceStatus, this, &StatusWidget::onAppendDeviceStatus);
    connect(m_device, &Device::deviceError, this, &StatusWidget::onAppendDeviceError);
}

void StatusWidget::onInitProgressBar(const QString &title, int steps)
{
    // A nested start keeps the first operation's title, range and cursor.
    if (m_running)
        return;
    m_running = true;
    m_title = title;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    lbError->clear();
    lbStatus->clear();
    progressBar->setRange(0, steps);
    progressBar->setValue(0);
    repaintNow();
}

void StatusWidget::onNextStep()
{
    progressBar->setValue(progressBar->value() + 1);
    repaintNow();
}

void StatusWidget::onShowFinalMessage(int reached)
{
    repaintNow();
    QGuiApplication::restoreOverrideCursor();
    if (reached == 0)
        reached = progressBar->value();
    if (reached == progressBar->maximum()) {
        lbError->setText(tr("<p style=\"color: green;\">completed successfully</p>"));
    } else {
        lbError->setText(tr("<p style=\"color: red;\">completed with errors</p>"));
        showFailure();
    }
    progressBar->setValue(0);
    m_running = false;
}

void StatusWidget::showFailure()
{
    // The device's text reads "No error" after every operation start; only counted errors have
    // a text worth a box.
    if (!m_device || m_device->errorCounter() <= 0)
        return;
    QString text = m_device->lastErrorText();
    if (text.isEmpty())
        return;
    text.replace(QStringLiteral("***"), QStringLiteral("\n*"));
    const QString title = m_title.isEmpty() ? m_device->key() : m_title;
    Prompt::critical(this, title, text, QMessageBox::Ok);
}

void StatusWidget::onShowLogMessage(int, const QString &line)
{
    // Frame dumps are for the log pane only.
    if (!line.contains(QLatin1String(" TX ")) && !line.contains(QLatin1String(" RX ")))
        lbError->setText(QStringLiteral("<p style=\"color: black;\">%1</p>").arg(line.toHtmlEscaped()));
    repaintNow();
}

void StatusWidget::onAppendDeviceError(const QString &text)
{
    // A successful identification reports an empty error text.
    if (text.trimmed().isEmpty())
        return;
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QStringLiteral(" - "));
    lbError->setText(QStringLiteral("<p style=\"color: red;\">%1</p>").arg(shown.toHtmlEscaped()));
    repaintNow();
}

void StatusWidget::onAppendDeviceStatus(const QString &, const QByteArray &status)
{
    const QString hex = Utils::bufferToHex(status).toUpper();
    const bool deviceStatusSet = Utils::byteAt(status, 1) != 0;
    const bool responseCodeSet = Utils::byteAt(status, 0) != 0;
    QString style;
    if (deviceStatusSet)
        style = QStringLiteral("<p style=\"color: magenta;\">%1</p>");
    else if (responseCodeSet)
        style = QStringLiteral("<p style=\"color: red; font: bold;\">%1</p>");
    else
        style = QStringLiteral("<p style=\"color: green; font: bold;\">%1</p>");
    lbStatus->setText(style.arg(hex));
}
