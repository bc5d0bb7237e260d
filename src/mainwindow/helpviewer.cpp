#include "mainwindow/helpviewer.h"

#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextStream>

namespace {

constexpr int InitialWidth = 857;
constexpr int InitialHeight = 518;

} // namespace

HelpViewer::HelpViewer(QWidget *parent, bool closable)
    : QDialog(parent)
    , ui(new Form)
{
    setupForm();
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    QMetaObject::connectSlotsByName(this);
    if (!closable)
        ui->closeButton->hide();
}

HelpViewer::~HelpViewer()
{
    delete ui;
}

void HelpViewer::setupForm()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("HelpViewer"));
    resize(InitialWidth, InitialHeight);
    ui->gridLayout = new QGridLayout(this);
    ui->gridLayout->setObjectName(QStringLiteral("gridLayout"));
    ui->plainTextEdit = new QPlainTextEdit(this);
    ui->plainTextEdit->setObjectName(QStringLiteral("plainTextEdit"));
    ui->plainTextEdit->setReadOnly(true);
    ui->gridLayout->addWidget(ui->plainTextEdit, 0, 0);
    ui->closeButton = new QPushButton(this);
    ui->closeButton->setObjectName(QStringLiteral("closeButton"));
    ui->gridLayout->addWidget(ui->closeButton, 1, 0);
    retranslateForm();
}

void HelpViewer::retranslateForm()
{
    setWindowTitle(tr("Help"));
    ui->closeButton->setText(tr("Close"));
}

QPlainTextEdit *HelpViewer::textView() const
{
    return ui->plainTextEdit;
}

QPushButton *HelpViewer::closeButton() const
{
    return ui->closeButton;
}

void HelpViewer::loadFile(const QString &fileName)
{
    QPlainTextEdit *view = ui->plainTextEdit;
    view->clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        view->appendPlainText(tr("Can't open help file"));
    } else {
        QStringDecoder decoder("windows-1251");
        QString text = decoder.decode(file.readAll());
        QTextStream lines(&text, QIODevice::ReadOnly);
        while (!lines.atEnd())
            view->appendPlainText(lines.readLine());
    }
    view->moveCursor(QTextCursor::Start);
}

void HelpViewer::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateForm();
    QDialog::changeEvent(event);
}
