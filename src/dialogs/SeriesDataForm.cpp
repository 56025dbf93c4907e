#include "dialogs/SeriesDataForm.h"

#include "dialogs/FormStyle.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TSeriesDataForm::TSeriesDataForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SeriesDataForm"));
    setWindowTitle(QStringLiteral("Seriendaten"));
    applyDialogFont(this);
    resize(520, 360);

    auto* fileLabel = new QLabel(QStringLiteral("&Datei:"), this);
    PathEdit = new QLineEdit(this);
    PathEdit->setObjectName(QStringLiteral("PathEdit"));
    PathEdit->setReadOnly(true);
    PathEdit->setPlaceholderText(QStringLiteral("Keine Seriendaten verknüpft"));
    fileLabel->setBuddy(PathEdit);
    BrowseBtn = new QPushButton(QStringLiteral("Du&rchsuchen..."), this);
    BrowseBtn->setObjectName(QStringLiteral("BrowseBtn"));
    BrowseBtn->setAutoDefault(false);

    auto* separatorLabel = new QLabel(QStringLiteral("&Trennzeichen:"), this);
    SeparatorBox = new QComboBox(this);
    SeparatorBox->setObjectName(QStringLiteral("SeparatorBox"));
    for (SeriesSeparator s : {SeriesSeparator::Comma, SeriesSeparator::Semicolon, SeriesSeparator::Tab})
        SeparatorBox->addItem(seriesSeparatorName(s), static_cast<int>(s));
    separatorLabel->setBuddy(SeparatorBox);
    auto* encodingLabel = new QLabel(QStringLiteral("&Zeichensatz:"), this);
    EncodingBox = new QComboBox(this);
    EncodingBox->setObjectName(QStringLiteral("EncodingBox"));
    for (SeriesEncoding e : {SeriesEncoding::Utf8, SeriesEncoding::Windows1252})
        EncodingBox->addItem(seriesEncodingName(e), static_cast<int>(e));
    encodingLabel->setBuddy(EncodingBox);

    PreviewTable = new QTableWidget(this);
    PreviewTable->setObjectName(QStringLiteral("PreviewTable"));
    PreviewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PreviewTable->setSelectionMode(QAbstractItemView::NoSelection);
    PreviewTable->verticalHeader()->setDefaultSectionSize(18);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setWordWrap(true);

    NoDataBtn = new QPushButton(QStringLiteral("&Keine Seriendaten"), this);
    NoDataBtn->setObjectName(QStringLiteral("NoDataBtn"));
    NoDataBtn->setAutoDefault(false);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(PathEdit, 0, 1, 1, 3);
    grid->addWidget(BrowseBtn, 0, 4);
    grid->addWidget(separatorLabel, 1, 0);
    grid->addWidget(SeparatorBox, 1, 1);
    grid->addWidget(encodingLabel, 1, 2);
    grid->addWidget(EncodingBox, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NoDataBtn);
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* root = new QVBoxLayout(this);
    root->addLayout(grid);
    root->addWidget(PreviewTable, 1);
    root->addWidget(StatusLabel);
    root->addLayout(buttons);

    askForFile = [this](const QString& startFolder) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Seriendaten wählen"), startFolder,
                                            QStringLiteral("Tabellen (*.csv *.tsv *.txt);;Alle Dateien (*)"));
    };
    connect(BrowseBtn, &QPushButton::clicked, this, [this] {
        const QString start = m_path.isEmpty() ? m_startFolder : QFileInfo(m_path).absolutePath();
        const QString chosen = askForFile ? askForFile(start) : QString();
        if (!chosen.isEmpty()) choosePath(chosen);
    });
    auto changed = [this] {
        if (!m_filling) reread();
    };
    connect(SeparatorBox, qOverload<int>(&QComboBox::currentIndexChanged), this, changed);
    connect(EncodingBox, qOverload<int>(&QComboBox::currentIndexChanged), this, changed);
    connect(NoDataBtn, &QPushButton::clicked, this, [this] {
        m_unlinked = true;
        accept();
    });
    connect(OkBtn, &QPushButton::clicked, this, [this] {
        if (!m_readable) return;
        m_unlinked = false;
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    reread();
}

void TSeriesDataForm::setLink(const SeriesLink& link) {
    m_filling = true;
    m_path = link.path;
    PathEdit->setText(QDir::toNativeSeparators(link.path));
    SeparatorBox->setCurrentIndex(SeparatorBox->findData(static_cast<int>(link.separator)));
    EncodingBox->setCurrentIndex(EncodingBox->findData(static_cast<int>(link.encoding)));
    m_filling = false;
    m_unlinked = false;
    reread();
}

void TSeriesDataForm::choosePath(const QString& path) {
    SeriesLink link;
    link.path = QFileInfo(path).absoluteFilePath();
    SeriesTable::detect(link.path, &link.separator, &link.encoding);
    setLink(link);
}

SeriesLink TSeriesDataForm::link() const {
    SeriesLink link;
    link.path = m_path;
    link.separator = static_cast<SeriesSeparator>(SeparatorBox->currentData().toInt());
    link.encoding = static_cast<SeriesEncoding>(EncodingBox->currentData().toInt());
    return link;
}

void TSeriesDataForm::reread() {
    PreviewTable->clear();
    PreviewTable->setRowCount(0);
    PreviewTable->setColumnCount(0);
    m_readable = false;
    const SeriesLink chosen = link();
    if (!chosen.linked()) {
        StatusLabel->setText(QStringLiteral("Wählen Sie eine Tabelle (CSV oder TSV), deren erste Zeile die Spalten benennt."));
        OkBtn->setEnabled(false);
        return;
    }
    QString error;
    const auto table = SeriesTable::open(chosen.path, chosen.separator, chosen.encoding, &error);
    if (!table) {
        StatusLabel->setText(error);
        OkBtn->setEnabled(false);
        return;
    }
    const QStringList& columns = table->columns();
    PreviewTable->setColumnCount(columns.size());
    PreviewTable->setHorizontalHeaderLabels(columns);
    const int shown = std::min(table->rowCount(), PreviewRows);
    PreviewTable->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        QStringList values;
        if (!table->row(r, &values, &error)) {
            StatusLabel->setText(error);
            OkBtn->setEnabled(false);
            return;
        }
        for (int c = 0; c < values.size(); ++c) {
            // One line per cell; the texts get the line breaks.
            QString cell = values.at(c).left(200);
            cell.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            PreviewTable->setItem(r, c, new QTableWidgetItem(cell));
        }
    }
    const int n = table->rowCount();
    StatusLabel->setText((n == 1 ? QStringLiteral("1 Datensatz") : QStringLiteral("%1 Datensätze").arg(n)) +
                         (columns.size() == 1 ? QStringLiteral(", 1 Spalte.") : QStringLiteral(", %1 Spalten.").arg(columns.size())) +
                         QStringLiteral(" In Texten und Bildnamen steht {Spalte} für den Wert, {Nr} für die Nummer des Datensatzes."));
    m_readable = true;
    OkBtn->setEnabled(true);
}
