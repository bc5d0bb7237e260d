#include "editor/devicewidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "editor/statuswidget.h"
#include "model/device.h"
#include "model/port.h"
#include "widgets/currentpagesize.h"
#include "widgets/decimalpointfilter.h"
#include "widgets/readout.h"
#include "widgets/unibaseinput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QToolBox>

namespace {

// Tab titles the pages translate; any other title stays as it was given.
const char *const TranslatedTabTitles[] = {
    QT_TRANSLATE_NOOP("DeviceWidget", "Custom"),
    QT_TRANSLATE_NOOP("DeviceWidget", "Measurement"),
    QT_TRANSLATE_NOOP("DeviceWidget", "Metrologic"),
    QT_TRANSLATE_NOOP("DeviceWidget", "Hart Log"),
};

QString hexText(const QByteArray &bytes)
{
    return QStringLiteral("0x") + QString::fromLatin1(bytes.toHex()).toUpper();
}

bool isFloating(const QString &typeName)
{
    return typeName == QLatin1String("float") || typeName == QLatin1String("double");
}

// A UniBaseInput shows a value by these rules, one after the other: the unsigned rule follows
// the signed one, so an unsigned value ends as unsigned. It takes no dashes: a float nobody
// measured leaves it empty.
void fillNumberInput(UniBaseInput *input, const QVariant &value, const QString &typeName)
{
    if (typeName == QLatin1String("QByteArray"))
        input->setText(hexText(value.toByteArray()));
    if (typeName.contains(QLatin1String("int")))
        input->setValue(value.toInt());
    if (typeName.contains(QLatin1String("uint")))
        input->setUnsignedValue(value.toUInt());
    if (typeName.contains(QLatin1String("long")))
        input->setText(QString::number(value.toLongLong()));
    if (isFloating(typeName))
        input->setText(Readout::isMeasured(value) ? QString::number(double(value.toFloat()), 'f', 3) : QString());
    if (typeName == QLatin1String("QString"))
        input->setText(value.toString());
}

} // namespace

DeviceWidget::DeviceWidget(QWidget *parent, Device *device)
    : StackPage(parent)
    , device(device)
    , root(this)
{
    DecimalPointFilter::install();
}

DeviceWidget::~DeviceWidget() = default;

bool DeviceWidget::isBusy() const
{
    return root->busy;
}

bool DeviceWidget::startOperation(const QString &title, int steps)
{
    if (root->busy)
        return false;
    root->busy = true;
    if (device)
        device->resetState();
    emit init_progress_bar(title, steps);
    return true;
}

void DeviceWidget::nextStep()
{
    emit next_step();
}

void DeviceWidget::finishOperation(int reached)
{
    // The status page may hold a modal error box here; the set stays busy until it is closed.
    emit show_final_message(reached);
    root->busy = false;
    if (!device)
        return;
    if (device->errorCounter() > 0)
        emit changed();
    Port *port = device->port();
    if (port && port->property("close_port_after_transaction").toBool())
        port->closeLine();
}

void DeviceWidget::addChildWidget(DeviceWidget *child, const QString &name)
{
    root = this;
    child->root = this;
    children.insert(child, name);
    connect(child, &DeviceWidget::init_progress_bar, this, &DeviceWidget::init_progress_bar, Qt::UniqueConnection);
    if (!statusWidget)
        return;
    connect(child, &DeviceWidget::init_progress_bar, statusWidget, &StatusWidget::onInitProgressBar,
            Qt::UniqueConnection);
    connect(child, &DeviceWidget::next_step, statusWidget, &StatusWidget::onNextStep, Qt::UniqueConnection);
    connect(child, &DeviceWidget::show_final_message, statusWidget, &StatusWidget::onShowFinalMessage,
            Qt::UniqueConnection);
}

int DeviceWidget::setWidgetInTab(QWidget *page, QTabWidget *tabs, const QString &title)
{
    DEBUGQT_LOG(4) << title;
    if (!tabWidget && tabs) {
        tabWidget = tabs;
        // The editor asks for the size of the tab it shows, not of its largest tab.
        CurrentPageSize::follow(tabWidget);
    }
    if (!tabWidget || !page)
        return -1;
    const int index = tabWidget->count();
    tabWidget->insertTab(index, page, title);
    tabTitles.insert(page, title);
    return index;
}

int DeviceWidget::setChildWidgetInTab(DeviceWidget *child, QTabWidget *tabs, const QString &title)
{
    DEBUGQT_LOG(4) << title;
    const int index = setWidgetInTab(child, tabs, title);
    if (index < 0)
        return index;
    root = this;
    child->root = this;
    children.insert(child, title);
    return index;
}

void DeviceWidget::retranslateTabs()
{
    if (!tabWidget)
        return;
    for (auto it = tabTitles.cbegin(); it != tabTitles.cend(); ++it) {
        const int index = tabWidget->indexOf(it.key());
        if (index < 0)
            continue;
        for (const char *title : TranslatedTabTitles) {
            if (it.value() == QLatin1String(title))
                tabWidget->setTabText(index, tr(title));
        }
    }
}

QString DeviceWidget::tagValue() const
{
    return device ? device->parameterString(QStringLiteral("tag")) : QString();
}

QString DeviceWidget::deviceIdValue() const
{
    return device ? device->parameterString(QStringLiteral("deviceID")) : QString();
}

bool DeviceWidget::allChildrenValid()
{
    bool valid = true;
    for (auto it = children.cbegin(); it != children.cend(); ++it)
        valid = it.key()->allChildrenValid() && valid;
    return valid;
}

void DeviceWidget::initWidget()
{
    for (auto it = children.cbegin(); it != children.cend(); ++it) {
        if (it.key() != this)
            it.key()->initWidget();
    }
}

void DeviceWidget::showDeviceInfoInFields()
{
    for (auto it = children.cbegin(); it != children.cend(); ++it) {
        if (it.key() != this)
            it.key()->showDeviceInfoInFields();
    }
}

bool DeviceWidget::confirm(const QString &title, const QString &text)
{
    return Prompt::warning(this, title, text, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
           == QMessageBox::Yes;
}

bool DeviceWidget::fieldsHoldValues(const QString &title, const QList<const QAbstractSpinBox *> &fields)
{
    QStringList empty;
    for (const QAbstractSpinBox *field : fields) {
        if (field && !Readout::value(field).isValid())
            empty.append(QStringLiteral("\"%1\"").arg(fieldCaption(field)));
    }
    if (empty.isEmpty())
        return true;
    Prompt::warning(this, title,
                    tr("The instrument gave no value for %1.\nType a number before writing it.")
                        .arg(empty.join(QStringLiteral(", "))),
                    QMessageBox::Ok);
    return false;
}

bool DeviceWidget::readAfterWrite(int command)
{
    const QString failure = device->errorCounter() > 0 ? device->lastErrorText() : QString();
    const bool read = device->readDevice(command);
    if (read && !failure.isEmpty())
        device->setLastErrorText(failure);
    return read;
}

namespace {

const QLayout *layoutHolding(const QLayout *layout, const QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(widget) >= 0)
        return layout;
    for (int i = 0; i < layout->count(); ++i) {
        if (const QLayout *inner = layoutHolding(layout->itemAt(i)->layout(), widget))
            return inner;
    }
    return nullptr;
}

// The label a form puts before a widget: in a grid, the cell to its left, or else the first
// label of its row; in a form layout, its row's label; in a box, the item before it.
const QLabel *labelBefore(const QWidget *widget, bool nextOnly)
{
    const QWidget *parent = widget->parentWidget();
    const QLayout *layout = parent ? layoutHolding(parent->layout(), widget) : nullptr;
    const int index = layout ? layout->indexOf(widget) : -1;
    if (index < 0)
        return nullptr;
    const auto labelIn = [](const QLayoutItem *item) {
        return item ? qobject_cast<const QLabel *>(item->widget()) : nullptr;
    };
    if (const auto *grid = qobject_cast<const QGridLayout *>(layout)) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        if (nextOnly)
            return column > 0 ? labelIn(grid->itemAtPosition(row, column - 1)) : nullptr;
        for (int left = 0; left < column; ++left) {
            if (const QLabel *label = labelIn(grid->itemAtPosition(row, left)))
                return label;
        }
        return nullptr;
    }
    if (const auto *form = qobject_cast<const QFormLayout *>(layout))
        return qobject_cast<const QLabel *>(form->labelForField(const_cast<QWidget *>(widget)));
    return index > 0 ? labelIn(layout->itemAt(index - 1)) : nullptr;
}

QString captionText(const QString &text)
{
    QString caption = QTextDocumentFragment::fromHtml(text).toPlainText().simplified();
    while (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption;
}

} // namespace

QString DeviceWidget::fieldCaption(const QWidget *field)
{
    if (const QLabel *label = labelBefore(field, true))
        return captionText(label->text());
    if (!field->toolTip().isEmpty())
        return field->toolTip();
    // A field alone in a titled box: the box's title after the label of the box's row.
    for (const QWidget *box = field->parentWidget(); box; box = box->parentWidget()) {
        if (const auto *group = qobject_cast<const QGroupBox *>(box); group && !group->title().isEmpty()) {
            const QLabel *row = labelBefore(group, false);
            return row ? captionText(row->text()) + QStringLiteral(", ") + group->title() : group->title();
        }
        if (const auto *pages = qobject_cast<const QToolBox *>(box)) {
            for (int page = 0; page < pages->count(); ++page) {
                if (pages->widget(page)->isAncestorOf(field))
                    return captionText(pages->itemText(page));
            }
        }
    }
    return field->objectName();
}

void DeviceWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateTabs();
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Field binding

void DeviceWidget::showDeviceInfoInField(const QString &key, QWidget *field, bool connectChange)
{
    if (!field || !device)
        return;
    loading = true;
    fillField(device->parameter(key), field);
    bindField(key, field, connectChange);
    setFieldColorModified(field, false);
    loading = false;
}

void DeviceWidget::fillField(const QVariant &value, QWidget *field)
{
    const QString typeName = value.isValid() ? QString::fromLatin1(value.typeName()) : QString();
    const QString className = QString::fromLatin1(field->metaObject()->className());

    if (className == QLatin1String("QComboBox")) {
        if (value.isValid() && !value.isNull()) {
            auto *combo = static_cast<QComboBox *>(field);
            combo->setCurrentIndex(combo->findData(value.toInt(), Qt::UserRole, Qt::MatchExactly));
        }
    } else if (className == QLatin1String("QSpinBox")) {
        // A float the instrument gave no number for, or one beyond any whole number, shows as
        // such, not as a limit or a number it was cut to.
        Readout::show(static_cast<QSpinBox *>(field), isFloating(typeName) ? value : QVariant(value.toInt()));
    } else if (className == QLatin1String("QDoubleSpinBox")) {
        if (isFloating(typeName))
            Readout::show(static_cast<QDoubleSpinBox *>(field), double(value.toFloat()));
    } else if (className == QLatin1String("UniBaseInput")) {
        DEBUGQT_LOG(4) << className << value;
        fillNumberInput(static_cast<UniBaseInput *>(field), value, typeName);
    } else if (className == QLatin1String("QLineEdit")) {
        if (typeName == QLatin1String("QByteArray"))
            static_cast<QLineEdit *>(field)->setText(hexText(value.toByteArray()));
        else if (typeName == QLatin1String("QString"))
            static_cast<QLineEdit *>(field)->setText(value.toString());
    } else if (className == QLatin1String("QDateEdit")) {
        const QDate date = value.toDate();
        if (date.isValid())
            static_cast<QDateEdit *>(field)->setDate(date);
    } else if (className == QLatin1String("QLabel")) {
        if (isFloating(typeName))
            static_cast<QLabel *>(field)->setText(Readout::numberText(value));
    } else if (className == QLatin1String("QCheckBox")) {
        static_cast<QCheckBox *>(field)->setChecked(value.toBool());
    }
}

void DeviceWidget::bindField(const QString &key, QWidget *field, bool connectChange)
{
    if (fields.contains(key))
        return;
    fields.insert(key, field);
    if (connectChange)
        connectChangeSignal(field);
}

void DeviceWidget::connectChangeSignal(QWidget *field)
{
    const QString className = QString::fromLatin1(field->metaObject()->className());
    if (className == QLatin1String("QComboBox")) {
        connect(static_cast<QComboBox *>(field), &QComboBox::currentIndexChanged, this,
                &DeviceWidget::onComboBoxCurrentIndexChanged);
    } else if (className == QLatin1String("QSpinBox")) {
        connect(static_cast<QSpinBox *>(field), &QSpinBox::valueChanged, this, &DeviceWidget::onSpnIntBoxValueChanged);
    } else if (className == QLatin1String("QDoubleSpinBox")) {
        connect(static_cast<QDoubleSpinBox *>(field), &QDoubleSpinBox::valueChanged, this,
                &DeviceWidget::onSpnDoubleBoxValueChanged);
    } else if (className == QLatin1String("UniBaseInput") || className == QLatin1String("QLineEdit")) {
        connect(static_cast<QLineEdit *>(field), &QLineEdit::textChanged, this, &DeviceWidget::onTxtEditBoxTextChanged);
    } else if (className == QLatin1String("QDateEdit")) {
        connect(static_cast<QDateEdit *>(field), &QDateEdit::dateChanged, this, &DeviceWidget::onDateEditBoxDateChanged);
    }
}

void DeviceWidget::setFieldColorModified(QWidget *field, bool modified)
{
    if (!field)
        return;
    DEBUGQT_LOG(4) << field->objectName() << modified;
    QPalette palette = field->palette();
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(modified ? Qt::blue : Qt::black));
    field->setPalette(palette);
    if (device && modified && !loading) {
        device->addStateFlags(Device::StateChanged);
        emit changed();
    }
}

void DeviceWidget::onWidgetStateChanged()
{
    DEBUGQT_LOG(4) << "loading:" << loading;
    setFieldColorModified(qobject_cast<QWidget *>(sender()), !loading);
}

void DeviceWidget::onComboBoxCurrentIndexChanged(int)
{
    onWidgetStateChanged();
}

void DeviceWidget::onSpnIntBoxValueChanged(int)
{
    onWidgetStateChanged();
}

void DeviceWidget::onSpnDoubleBoxValueChanged(double)
{
    onWidgetStateChanged();
}

void DeviceWidget::onTxtEditBoxTextChanged(const QString &)
{
    onWidgetStateChanged();
}

void DeviceWidget::onDateEditBoxDateChanged(const QDate &)
{
    onWidgetStateChanged();
}

void DeviceWidget::setFieldEnabled(QWidget *field, bool enable, QWidget *label)
{
    if (!field || field->isEnabled() == enable)
        return;
    field->setEnabled(enable);
    field->setVisible(enable);
    if (label) {
        label->setEnabled(enable);
        label->setVisible(enable);
    }
    setFieldColorModified(field, loading ? false : enable);
}

void DeviceWidget::fillComboBox(const QStringList &items, QComboBox *combo)
{
    QVariantList maps;
    maps.reserve(items.size());
    for (int position = 0; position < items.size(); ++position)
        maps.append(QVariantMap{{QStringLiteral("id"), position}, {QStringLiteral("name"), items.at(position)}});
    fillComboBoxFromMaps(maps, combo);
}

void DeviceWidget::fillComboBoxFromMaps(const QVariantList &items, QComboBox *combo)
{
    if (!combo)
        return;
    const QSignalBlocker blocker(combo);
    // A filled box that selects no row (the device's code is not in the list) keeps selecting
    // none: the first row would misstate the setting. An empty box takes the first row.
    const bool wasFilled = combo->count() > 0;
    const int remembered = combo->currentIndex();
    combo->clear();
    for (const QVariant &item : items) {
        const QVariantMap map = item.toMap();
        combo->addItem(map.value(QStringLiteral("name")).toString(), map.value(QStringLiteral("id")));
    }
    if (wasFilled)
        combo->setCurrentIndex(remembered < combo->count() ? remembered : 0);
}
