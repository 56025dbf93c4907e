#include "app/ScanCommands.h"

#include "dialogs/JpegQFUnit.h"
#include "dialogs/ScannerSelectForm.h"
#include "image/ImageWriter.h"
#include "model/FolderMemory.h"
#include "model/Prompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QThread>
#include <QWidget>

namespace {

const char* const kSaveFailed = "Fehler: Datei konnte nicht gespeichert werden!";

QStringList qtFilters(const QString& bars) {
    const QStringList parts = bars.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // The description may name its patterns already; Qt wants them once.
        QString desc = parts[i];
        const int bracket = desc.lastIndexOf(QStringLiteral(" (*"));
        if (bracket > 0) desc = desc.left(bracket).trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(desc, patterns);
    }
    return entries;
}

class WidgetScanDialogs : public ScanDialogs {
public:
    WidgetScanDialogs(QWidget* window, TJPEGQForm* jpegForm) : m_window(window), m_jpegForm(jpegForm) {}

    QString chooseScanner(const QString& current) override {
        ScannerSelectForm form(m_window);
        form.setCurrentDevice(current);
        if (form.exec() != QDialog::Accepted) return QString();
        return form.selectedDevice();
    }

    bool askSavePath(const QString& filter, const QString& folder, QString& path, int& filterIndex) override {
        // Default options, no title of its own; the extension rule is ours,
        // so the dialog must not add one.
        QFileDialog dialog(m_window);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        const QStringList filters = qtFilters(filter);
        dialog.setNameFilters(filters);
        if (!folder.isEmpty()) dialog.setDirectory(folder);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        path = dialog.selectedFiles().first();
        filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
        return true;
    }

    bool askJpegQuality(int& quality) override {
        if (!m_jpegForm) m_jpegForm = new TJPEGQForm(m_window);
        if (m_jpegForm->exec() != QDialog::Accepted) return false;
        quality = m_jpegForm->quality();
        return true;
    }

private:
    QPointer<QWidget> m_window;
    QPointer<TJPEGQForm> m_jpegForm;   // lent by the window; made here only without one
};

}  // namespace

ScanCommands::ScanCommands(Prompter& prompter, QWidget* window, std::unique_ptr<ScanDialogs> dialogs,
                           TJPEGQForm* jpegForm)
    : QObject(window), m_prompter(prompter), m_window(window), m_dialogs(std::move(dialogs)) {
    setObjectName(QStringLiteral("ScanCommands"));
    if (!m_dialogs) m_dialogs = std::make_unique<WidgetScanDialogs>(window, jpegForm);
}

QString ScanCommands::saveFolder() const {
    return m_folders ? m_folders->startFolder(FileKind::Picture, m_boxFile ? m_boxFile() : QString()) : m_saveFolder;
}

ScanCommands::~ScanCommands() {
    if (m_thread) {
        m_cancel->store(true);
        SaneScanner::cancelRunningScan();
        m_thread->wait();
        delete m_thread;
    }
}

void ScanCommands::selectScanner() {
    // The device search needs the scanner library, which the running scan
    // holds until it ends: the window would wait for it.
    if (m_thread) {
        m_prompter.inform(QString(), QStringLiteral("Es wird bereits ein Bild eingescannt."),
                          PromptIcon::Information);
        return;
    }
    const QString chosen = m_dialogs->chooseScanner(m_device);
    if (!chosen.isEmpty()) m_device = chosen;
}

void ScanCommands::scanImage() {
    if (m_thread) {
        m_prompter.inform(QString(), QStringLiteral("Es wird bereits ein Bild eingescannt."),
                          PromptIcon::Information);
        return;
    }
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_lastPercent = std::make_shared<std::atomic<int>>(-1);
    const QString device = m_device;
    const ScanOptions options = m_options;
    auto cancel = m_cancel;
    auto last = m_lastPercent;
    m_thread = QThread::create([this, device, options, cancel, last] {
        // Only changes of the percentage cross to the user-interface thread.
        auto report = [this, last](int percent) {
            if (last->exchange(percent) == percent) return true;
            QMetaObject::invokeMethod(this, [this, percent] { emit progress(percent); }, Qt::QueuedConnection);
            return true;
        };
        ScanResult result = SaneScanner::scanPage(device, report, cancel.get(), options);
        // The object outlives the thread (its destructor waits), so posting
        // to it is safe; the event is the scan-finished message.
        QCoreApplication::postEvent(this, new ScanFinishedEvent(std::move(result)));
    });
    m_thread->start();
}

void ScanCommands::cancelScan() {
    if (!m_thread) return;
    m_cancel->store(true);
    SaneScanner::cancelRunningScan();
}

bool ScanCommands::event(QEvent* e) {
    if (e->type() == ScanFinishedEvent::Type) {
        if (m_thread) {
            m_thread->wait();
            delete m_thread;
            m_thread = nullptr;
        }
        emit progress(0);
        WMUser2(static_cast<ScanFinishedEvent*>(e)->result());
        emit scanArrived();
        return true;
    }
    return QObject::event(e);
}

void ScanCommands::WMUser2(const ScanResult& result) {
    switch (result.status) {
    case ScanStatus::Ok:
        saveScannedImage(result.image);
        return;
    case ScanStatus::Cancelled:
        m_prompter.inform(QString(), result.message, PromptIcon::Information);
        return;
    case ScanStatus::NoScanner:
        m_prompter.inform(QString(), result.message, PromptIcon::Warning);
        return;
    case ScanStatus::Failed:
        m_prompter.inform(QString(), result.message, PromptIcon::Error);
        return;
    }
}

void ScanCommands::reportProgress(int percent) { emit progress(percent); }

bool ScanCommands::saveScannedImage(const DibHandle& picture) {
    if (picture.isEmpty()) return false;
    // Until saved or cancelled: a failed save must not lose the scan.
    for (;;) {
        QString path;
        int index = 0;
        if (!m_dialogs->askSavePath(GetDIBSaveFilter(), saveFolder(), path, index) || path.isEmpty()) return false;
        if (QFileInfo(path).suffix().isEmpty()) path += ExtensionForIndex(index);
        const int code = index + 2;
        if (IsJpegFormat(code)) {
            int quality = JPEGQual();
            if (!m_dialogs->askJpegQuality(quality)) return false;
            SetJPEGQual(quality);
        }
        // The scan overwrites a read-only file on purpose; the save refuses
        // a file without a write bit, for root too, so the bit is set first.
        QFileInfo target(path);
        const QFileDevice::Permissions writeBits =
            QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (target.isFile() && (!target.isWritable() || !(target.permissions() & writeBits)))
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
        if (SaveDib(picture, path, code, [this](int p) {
                reportProgress(p);
                return true;
            })) {
            m_saveFolder = QFileInfo(path).absolutePath();
            rememberFolder(m_folders, FileKind::Picture, path);
            emit imageSaved(path);
            return true;
        }
        m_prompter.inform(QString(), QString::fromUtf8(kSaveFailed), PromptIcon::Information);
    }
}
