#include "dialogs/ScannerSelectForm.h"

#include "dialogs/FormStyle.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QThread>

ScannerSelectForm::ScannerSelectForm(QWidget* parent, DeviceSource source)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_source(source ? std::move(source) : DeviceSource([](QString* error) { return SaneScanner::devices(error); })) {
    setObjectName(QStringLiteral("ScannerSelectForm"));
    setWindowTitle(QStringLiteral("Scanner auswählen"));
    applyDialogFont(this);
    setFixedSize(360, 240);

    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setGeometry(8, 8, 344, 17);
    DeviceList = new QListWidget(this);
    DeviceList->setObjectName(QStringLiteral("DeviceList"));
    DeviceList->setGeometry(8, 30, 344, 162);
    RefreshBtn = new QPushButton(QStringLiteral("&Aktualisieren"), this);
    RefreshBtn->setObjectName(QStringLiteral("RefreshBtn"));
    RefreshBtn->setGeometry(8, 204, 100, 25);
    RefreshBtn->setAutoDefault(false);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(166, 204, 89, 25);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(263, 204, 89, 25);
    CancelBtn->setAutoDefault(false);

    connect(RefreshBtn, &QPushButton::clicked, this, &ScannerSelectForm::refresh);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(DeviceList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(DeviceList, &QListWidget::currentRowChanged, this, &ScannerSelectForm::updateButtons);
    updateButtons();
}

ScannerSelectForm::~ScannerSelectForm() {
    // The search cannot be interrupted; it ends on its own and its result
    // is dropped (the slot's context object is gone).
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

QString ScannerSelectForm::selectedDevice() const {
    const QListWidgetItem* item = DeviceList->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void ScannerSelectForm::refresh() {
    if (m_thread) return;
    DeviceList->clear();
    InfoLabel->setText(QStringLiteral("Suche Scanner..."));
    auto devices = std::make_shared<QList<ScannerDevice>>();
    auto error = std::make_shared<QString>();
    DeviceSource source = m_source;
    m_thread = QThread::create([source, devices, error] { *devices = source(error.get()); });
    connect(m_thread, &QThread::finished, this, [this, devices, error] {
        m_thread->deleteLater();
        m_thread = nullptr;
        showDevices(*devices, *error);
    });
    m_thread->start();
    updateButtons();
}

void ScannerSelectForm::showDevices(const QList<ScannerDevice>& devices, const QString& error) {
    DeviceList->clear();
    for (const ScannerDevice& d : devices) {
        auto* item = new QListWidgetItem(d.label(), DeviceList);
        item->setData(Qt::UserRole, d.name);
        if (d.name == m_current) DeviceList->setCurrentItem(item);
    }
    if (!DeviceList->currentItem() && DeviceList->count() > 0) DeviceList->setCurrentRow(0);
    if (devices.isEmpty())
        InfoLabel->setText(error.isEmpty() ? QStringLiteral("Es wurde kein Scanner gefunden.") : error);
    else
        InfoLabel->setText(QStringLiteral("Verfügbare Scanner:"));
    updateButtons();
    emit devicesListed();
}

void ScannerSelectForm::updateButtons() {
    OkBtn->setEnabled(!m_thread && DeviceList->currentItem() != nullptr);
    RefreshBtn->setEnabled(!m_thread);
}

void ScannerSelectForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
    refresh();
}
