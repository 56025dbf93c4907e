#pragma once
// Choosing the scanner: the SANE devices in a list. Finding them can take a
// while (network scanners), so the search runs in a worker thread while the
// dialog stays responsive; "Aktualisieren" searches again.

#include "image/SaneScanner.h"

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QThread;

class ScannerSelectForm : public QDialog {
    Q_OBJECT
public:
    // Returns the devices (and on failure a message); called in a worker thread.
    using DeviceSource = std::function<QList<ScannerDevice>(QString* error)>;

    explicit ScannerSelectForm(QWidget* parent = nullptr, DeviceSource source = {});
    ~ScannerSelectForm() override;

    // The device to preselect when the list arrives.
    void setCurrentDevice(const QString& name) { m_current = name; }
    // The chosen device's SANE name; empty when nothing is chosen.
    QString selectedDevice() const;
    // Starts a search (also done when the dialog is shown).
    void refresh();
    bool searching() const { return m_thread != nullptr; }

    QLabel* InfoLabel;
    QListWidget* DeviceList;
    QPushButton* RefreshBtn;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

signals:
    void devicesListed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showDevices(const QList<ScannerDevice>& devices, const QString& error);
    void updateButtons();

    DeviceSource m_source;
    QString m_current;
    QThread* m_thread = nullptr;
};
