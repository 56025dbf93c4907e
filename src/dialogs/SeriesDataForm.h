#pragma once
// "Seriendaten": links the design to a table (CSV or TSV) whose rows
// personalise it. Choosing a file guesses its separator and encoding; both
// can be changed, and the columns and first rows show how the file reads
// with them. OK links the file (only one that reads without fault); "Keine
// Seriendaten" unlinks.

#include "model/SeriesData.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TSeriesDataForm : public QDialog {
    Q_OBJECT
public:
    // Rows shown below the header.
    static constexpr int PreviewRows = 10;

    explicit TSeriesDataForm(QWidget* parent = nullptr);

    // The link the design has now (its file read as chosen then).
    void setLink(const SeriesLink& link);
    // The file chosen: separator and encoding guessed, the file read.
    void choosePath(const QString& path);
    // The link OK gives; unlinked() when "Keine Seriendaten" closed it.
    SeriesLink link() const;
    bool unlinked() const { return m_unlinked; }
    // The folder the file chooser starts in when no file is chosen yet.
    void setStartFolder(const QString& folder) { m_startFolder = folder; }
    // Asks for a file (the system's file dialog); tests replace it.
    std::function<QString(const QString& startFolder)> askForFile;

    QLineEdit* PathEdit = nullptr;
    QPushButton* BrowseBtn = nullptr;
    QComboBox* SeparatorBox = nullptr;
    QComboBox* EncodingBox = nullptr;
    QTableWidget* PreviewTable = nullptr;
    QLabel* StatusLabel = nullptr;
    QPushButton* NoDataBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void reread();

    QString m_path;
    QString m_startFolder;
    bool m_readable = false;
    bool m_unlinked = false;
    bool m_filling = false;
};
