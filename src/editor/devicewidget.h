#pragma once

#include "widgets/stackpage.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Device;
class StatusWidget;
class QAbstractSpinBox;
class QComboBox;
class QDate;
class QEvent;
class QTabWidget;

// Base of every device editor page. An editor is a page set working on one Device: a root page,
// the child pages it registers and the tabs it shows, plus one status strip. Every device action
// of the set runs as one operation (startOperation, a next_step() per successful transaction,
// finishOperation) guarded by the root's busy flag, so that no second action starts while one
// runs. The page also binds device parameters to form fields and colours the fields a person
// edited blue until they are written or shown again.
class DeviceWidget : public StackPage
{
    Q_OBJECT

public:
    DeviceWidget(QWidget *parent, Device *device);
    ~DeviceWidget() override;

    // The root's flag: true while an operation of the page set runs.
    bool isBusy() const;

    // The operation protocol. A refused start (the set is busy) changes nothing; the caller then
    // drops its action. finishOperation takes the steps reached, 0 meaning "as many as were
    // counted".
    bool startOperation(const QString &title, int steps);
    void nextStep();
    void finishOperation(int reached);

    // Page sets and tabs. The status page must be stored before children are registered, so
    // that their progress reaches it.
    void addChildWidget(DeviceWidget *child, const QString &name);
    int setWidgetInTab(QWidget *page, QTabWidget *tabs, const QString &title);
    int setChildWidgetInTab(DeviceWidget *child, QTabWidget *tabs, const QString &title);
    void retranslateTabs();

    QString tagValue() const;
    QString deviceIdValue() const;

    // Recursive over the child pages.
    virtual bool allChildrenValid();
    virtual void initWidget();
    virtual void showDeviceInfoInFields();

    // Field binding: fills a field from the device parameter by the field's class and the
    // value's type, binds the key to the first field shown under it and leaves it black.
    void showDeviceInfoInField(const QString &key, QWidget *field, bool connectChange);
    virtual void setFieldColorModified(QWidget *field, bool modified);
    void setFieldEnabled(QWidget *field, bool enable, QWidget *label);
    static void fillComboBox(const QStringList &items, QComboBox *combo);
    static void fillComboBoxFromMaps(const QVariantList &items, QComboBox *combo);

public slots:
    virtual void onWidgetStateChanged();
    void onComboBoxCurrentIndexChanged(int);
    void onSpnIntBoxValueChanged(int);
    void onSpnDoubleBoxValueChanged(double);
    void onTxtEditBoxTextChanged(const QString &);
    void onDateEditBoxDateChanged(const QDate &);

signals:
    void serialNameChanged();
    void deviceChanged(Device *device);
    void changed();
    void init_progress_bar(const QString &title, int steps);
    void next_step();
    void show_final_message(int reached);
    void resetWidget();
    void updateButtons(bool enabled);

protected:
    void changeEvent(QEvent *event) override;
    // Asks a warning question with Yes and Cancel, Cancel preselected; true for Yes.
    bool confirm(const QString &title, const QString &text);
    // The binding half of showDeviceInfoInField, for a field the page fills itself.
    void bindField(const QString &key, QWidget *field, bool connectChange);
    // True when every field holds a number. Otherwise warns, naming each field that shows the
    // instrument gave no value, and the caller sends nothing until a person types one.
    bool fieldsHoldValues(const QString &title, const QList<const QAbstractSpinBox *> &fields);
    // A read that follows a write of the same operation: it shows what the device holds, while a
    // write the device refused stays the failure the operation reports.
    bool readAfterWrite(int command);
    // What the form calls a field: the label before it in its layout.
    static QString fieldCaption(const QWidget *field);

    QTabWidget *tabWidget = nullptr;                // not owned; the first one a tab went into
    Device *device;                                 // not owned
    QMap<DeviceWidget *, QString> children;         // child pages by registration name
    QMap<QWidget *, QString> tabTitles;             // tab pages with their untranslated titles
    QMap<QString, QWidget *> fields;                // the field bound to each parameter key
    bool loading = false;                           // the program is filling a field
    DeviceWidget *root;                             // not owned; a page is its own root at first
    bool busy = false;                              // read and written on the root only
    StatusWidget *statusWidget = nullptr;           // not owned; set by the root's constructor

private:
    void fillField(const QVariant &value, QWidget *field);
    void connectChangeSignal(QWidget *field);
};
