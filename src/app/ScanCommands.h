#pragma once
// The two scanner commands of the file menu. "Scanner auswählen..." lets the
// user pick a SANE device, kept for the run. "Bild einscannen..." scans one
// page in a worker thread (the window stays responsive; progress(int) reports
// percent); the finished scan comes back to this object as a
// ScanFinishedEvent, and the user saves it: save dialog with the format list,
// the extension of the chosen type for a name without one, the JPEG quality
// for JPEG types, read-only targets overwritten. A failed save says so and
// offers the save dialog again, so the scan is not lost.

#include "image/DibHandle.h"
#include "image/SaneScanner.h"

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

class FolderMemory;
class Prompter;
class QThread;
class QWidget;
class TJPEGQForm;

// The dialogs of the scan flow, replaceable so tests can script them.
class ScanDialogs {
public:
    virtual ~ScanDialogs() = default;
    // The device the user chose, or empty when cancelled.
    virtual QString chooseScanner(const QString& current) = 0;
    // Save dialog over the bar-separated filter, opening in folder; false
    // when cancelled. filterIndex is the 1-based entry of the file-type list
    // chosen.
    virtual bool askSavePath(const QString& filter, const QString& folder, QString& path, int& filterIndex) = 0;
    // The JPEG quality dialog; false when it does not end with OK.
    virtual bool askJpegQuality(int& quality) = 0;
};

// The scanned picture on its way from the worker to the user-interface thread.
class ScanFinishedEvent : public QEvent {
public:
    static constexpr QEvent::Type Type = static_cast<QEvent::Type>(QEvent::User + 1025);
    explicit ScanFinishedEvent(ScanResult result) : QEvent(Type), m_result(std::move(result)) {}
    const ScanResult& result() const { return m_result; }

private:
    ScanResult m_result;
};

class ScanCommands : public QObject {
    Q_OBJECT
public:
    // window: parent of the dialogs. dialogs: null for the real ones, which
    // use jpegForm (the window's quality dialog, made once at start-up).
    ScanCommands(Prompter& prompter, QWidget* window, std::unique_ptr<ScanDialogs> dialogs = nullptr,
                 TJPEGQForm* jpegForm = nullptr);
    ~ScanCommands() override;   // cancels a running scan and waits for it

    QString currentDevice() const { return m_device; }
    void setCurrentDevice(const QString& name) { m_device = name; }
    // Where the save dialog opens: the folder given at first, then the
    // folder the last picture went to.
    void setSaveFolder(const QString& folder) { m_saveFolder = folder; }
    // With the window's folders the dialog opens where pictures went last
    // (boxFile, the open design's file, for the first time) and keeps
    // where this one goes; they take the place of the save folder.
    void setFolders(FolderMemory* folders, std::function<QString()> boxFile) {
        m_folders = folders;
        m_boxFile = std::move(boxFile);
    }
    QString saveFolder() const;
    // Device settings for the following scans (tests, command line).
    void setScanOptions(const ScanOptions& options) { m_options = options; }
    bool scanning() const { return m_thread != nullptr; }

    // The save part of the flow for a picture that has arrived; true when
    // it was saved.
    bool saveScannedImage(const DibHandle& picture);

public slots:
    void selectScanner();   // Scannerauswhlen1
    void scanImage();       // Bildeinscanne1
    void cancelScan();      // stops a running scan at its next block of data

signals:
    void progress(int percent);
    void scanArrived();               // a scan ended (with or without picture)
    void imageSaved(const QString& path);

protected:
    bool event(QEvent* e) override;

private:
    void WMUser2(const ScanResult& result);
    void reportProgress(int percent);

    Prompter& m_prompter;
    QPointer<QWidget> m_window;
    std::unique_ptr<ScanDialogs> m_dialogs;
    QString m_device;
    QString m_saveFolder;
    FolderMemory* m_folders = nullptr;
    std::function<QString()> m_boxFile;
    ScanOptions m_options;
    QThread* m_thread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::shared_ptr<std::atomic<int>> m_lastPercent;
};
