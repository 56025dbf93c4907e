#pragma once
// Image chooser (TBMPOpenForm): a folder's files with a file-type box and a
// preview. The chosen file comes back in ChosenFile, shortened by
// SubProgPath (a bare name for a file directly in the program folder).

#include <QDialog>
#include <QImage>
#include <QString>

class FolderMemory;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolButton;

class TBMPOpenForm : public QDialog {
    Q_OBJECT
public:
    explicit TBMPOpenForm(const QString& programFolder, QWidget* parent = nullptr);

    // The folder whose files come back as bare names (ends in '/').
    void setProgramFolder(const QString& programFolder) { m_programFolder = programFolder; }

    // The window's folders: the chooser starts where pictures were chosen
    // last and keeps the folder of the file chosen.
    void setFolderMemory(FolderMemory* folders) { m_folders = folders; }
    // Shows the folder pictures were chosen from last; without one
    // remembered, fallback.
    void startIn(const QString& fallback);

    // The list's current folder, and the same with a trailing '/'.
    QString folder() const { return m_folder; }
    void setFolder(const QString& folder);
    QString folderPath() const;

    // The file-type box's filter text ("description|mask|description|mask").
    // Only a different text rebuilds the box and selects its first type.
    void setFilterText(const QString& filter);
    QString filterText() const { return m_filterText; }
    // The list's current mask (masks separated by ';').
    QString mask() const { return m_mask; }

    const QImage& PreviewBitmap() const { return m_preview; }
    // Previews a file of the current folder.
    void OpenFileNow(const QString& fileName);

    QString ChosenFile;

    QLabel* Label1;
    QComboBox* JamShellCombo1;
    QToolButton* SpeedButton1;
    QListView* JamShellList1;
    QFileSystemModel* ShellModel;
    QLabel* Label3;
    QLineEdit* FileNameEdit;
    QLabel* Label2;
    QComboBox* FilterComboBox1;
    QPushButton* BitBtn1;   // Öffnen
    QPushButton* BitBtn2;   // Abbrechen
    QScrollArea* ScrollBox1;
    QWidget* PaintBox1;
    QCheckBox* VSchauCheck;
    QStatusBar* StatusBar1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    // Hints of the controls appear in the dialog's own status bar.
    bool event(QEvent* event) override;

private:
    friend class PreviewBox;
    void paintPreview(QWidget* box);
    void JamShellList1Change();
    void JamShellList1DblClick();
    void BitBtn1Click();
    void SpeedButton1Click();
    void FilterComboBox1Change(int index);
    void applyMask(const QString& mask);
    void refreshFolderCombo();
    bool selectedItem(QString& name, bool& isFolder) const;
    // The typed name as a path: absolute and "~/" names as they are, any
    // other relative to the shown folder.
    QString typedPath() const;
    void choose(const QString& path);

    QString m_programFolder;
    FolderMemory* m_folders = nullptr;
    QString m_folder;
    QString m_filterText;
    QString m_mask = QStringLiteral("*");
    QStringList m_masks;
    QImage m_preview;
};
