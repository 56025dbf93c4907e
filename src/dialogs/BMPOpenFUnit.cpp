#include "dialogs/BMPOpenFUnit.h"

#include "dialogs/FormStyle.h"
#include "model/FolderMemory.h"
#include "model/SubProgPath.h"
#include "image/ImageLoader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

// The preview paint box: fills itself and lets the form draw the picture.
class PreviewBox : public QWidget {
public:
    PreviewBox(TBMPOpenForm* form, QWidget* parent) : QWidget(parent), m_form(form) {}

protected:
    void paintEvent(QPaintEvent*) override { m_form->paintPreview(this); }

private:
    TBMPOpenForm* m_form;
};

namespace {
const QColor AppWorkspace(0xAB, 0xAB, 0xAB);

QWidget* band(QWidget* parent, int height) {
    auto* w = new QWidget(parent);
    w->setFixedHeight(height);
    return w;
}
}  // namespace

TBMPOpenForm::TBMPOpenForm(const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_programFolder(programFolder), m_preview(100, 100, QImage::Format_RGB32) {
    setObjectName(QStringLiteral("BMPOpenForm"));
    setWindowTitle(QStringLiteral("Bild öffnen"));
    applyDialogFont(this);
    resize(641, 421);
    m_preview.fill(Qt::white);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Top band: folder box and parent-folder button.
    QWidget* top = band(this, 33);
    Label1 = new QLabel(QStringLiteral("Suchen in:"), top);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 8);
    JamShellCombo1 = new QComboBox(top);
    JamShellCombo1->setObjectName(QStringLiteral("JamShellCombo1"));
    JamShellCombo1->setGeometry(72, 4, 193, 22);
    SpeedButton1 = new QToolButton(top);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(272, 4, 23, 22);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    SpeedButton1->setToolTip(QStringLiteral("Übergeordneter Ordner"));
    SpeedButton1->setStatusTip(SpeedButton1->toolTip());
    outer->addWidget(top);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    outer->addLayout(middle, 1);

    // Left: the file list above the name and type band.
    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    ShellModel = new QFileSystemModel(this);
    ShellModel->setFilter(QDir::AllEntries | QDir::AllDirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    ShellModel->setNameFilterDisables(false);
    ShellModel->setRootPath(QStringLiteral("/"));
    JamShellList1 = new QListView(this);
    JamShellList1->setObjectName(QStringLiteral("JamShellList1"));
    JamShellList1->setModel(ShellModel);
    JamShellList1->setViewMode(QListView::ListMode);
    JamShellList1->setFlow(QListView::TopToBottom);
    JamShellList1->setWrapping(true);
    JamShellList1->setResizeMode(QListView::Adjust);
    JamShellList1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    JamShellList1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    JamShellList1->setFixedWidth(393);
    left->addWidget(JamShellList1, 1);

    QWidget* bottom = band(this, 71);
    bottom->setFixedWidth(393);
    Label3 = new QLabel(QStringLiteral("Dateiname:"), bottom);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->move(8, 8);
    FileNameEdit = new QLineEdit(bottom);
    FileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    FileNameEdit->setGeometry(88, 8, 177, 21);
    Label2 = new QLabel(QStringLiteral("Dateityp:"), bottom);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(8, 32);
    FilterComboBox1 = new QComboBox(bottom);
    FilterComboBox1->setObjectName(QStringLiteral("FilterComboBox1"));
    FilterComboBox1->setGeometry(88, 32, 177, 21);
    BitBtn1 = new QPushButton(QStringLiteral("&Öffnen"), bottom);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(288, 8, 91, 25);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("A&bbrechen"), bottom);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(288, 40, 91, 25);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn2->setAutoDefault(false);
    left->addWidget(bottom);
    middle->addLayout(left);

    // Right: the preview above the "Vorschau" band.
    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    QPalette pal = ScrollBox1->palette();
    pal.setColor(QPalette::Window, AppWorkspace);
    ScrollBox1->setPalette(pal);
    PaintBox1 = new PreviewBox(this, ScrollBox1);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    ScrollBox1->setWidget(PaintBox1);
    right->addWidget(ScrollBox1, 1);
    QWidget* checkBand = band(this, 31);
    VSchauCheck = new QCheckBox(QStringLiteral("Vorschau"), checkBand);
    VSchauCheck->setObjectName(QStringLiteral("VSchauCheck"));
    VSchauCheck->move(8, 8);
    VSchauCheck->setChecked(true);
    right->addWidget(checkBand);
    middle->addLayout(right, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    outer->addWidget(StatusBar1);

    connect(JamShellList1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { JamShellList1Change(); });
    connect(JamShellList1, &QListView::doubleClicked, this, [this] { JamShellList1DblClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(FilterComboBox1, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { FilterComboBox1Change(index); });
    connect(JamShellCombo1, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const QString path = JamShellCombo1->itemData(index).toString();
        if (!path.isEmpty()) setFolder(path);
    });
    connect(VSchauCheck, &QCheckBox::toggled, PaintBox1, [this] { PaintBox1->update(); });

    setFolder(programFolder.isEmpty() ? QDir::rootPath() : programFolder);
}

bool TBMPOpenForm::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip && StatusBar1) {
        StatusBar1->showMessage(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QDialog::event(e);
}

void TBMPOpenForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}

// ---------------------------------------------------------------- folder

void TBMPOpenForm::startIn(const QString& fallback) {
    const QString last = m_folders ? m_folders->lastFolder(FileKind::Picture) : QString();
    setFolder(last.isEmpty() ? fallback : last);
}

void TBMPOpenForm::setFolder(const QString& folder) {
    QString clean = QDir::cleanPath(folder);
    if (clean.isEmpty()) clean = QDir::rootPath();
    m_folder = clean;
    JamShellList1->clearSelection();
    JamShellList1->setRootIndex(ShellModel->index(clean));
    refreshFolderCombo();
}

QString TBMPOpenForm::folderPath() const {
    return m_folder.endsWith(QLatin1Char('/')) ? m_folder : m_folder + QLatin1Char('/');
}

void TBMPOpenForm::refreshFolderCombo() {
    // The folder and the folders above it, root first, as the place to go.
    QStringList chain;
    QDir dir(m_folder);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp()) chain.prepend(dir.absolutePath());
    JamShellCombo1->clear();
    for (const QString& path : chain) JamShellCombo1->addItem(path, path);
    JamShellCombo1->setCurrentIndex(JamShellCombo1->count() - 1);
}

void TBMPOpenForm::SpeedButton1Click() {
    QDir dir(m_folder);
    if (dir.cdUp()) setFolder(dir.absolutePath());
}

// ---------------------------------------------------------------- file types

void TBMPOpenForm::setFilterText(const QString& filter) {
    if (filter == m_filterText && FilterComboBox1->count() > 0) return;
    m_filterText = filter;
    FilterComboBox1->clear();
    m_masks.clear();
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        FilterComboBox1->addItem(parts[i]);
        m_masks << parts[i + 1];
    }
    if (FilterComboBox1->count() > 0) {
        FilterComboBox1->setCurrentIndex(0);
        FilterComboBox1Change(0);
    }
}

void TBMPOpenForm::FilterComboBox1Change(int index) {
    if (index < 0 || index >= m_masks.size()) return;
    applyMask(m_masks[index]);
}

void TBMPOpenForm::applyMask(const QString& mask) {
    m_mask = mask;
    QStringList patterns;
    for (const QString& p : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) patterns << p.trimmed();
    ShellModel->setNameFilters(patterns.contains(QStringLiteral("*")) || patterns.contains(QStringLiteral("*.*"))
                                   ? QStringList()
                                   : patterns);
}

// ---------------------------------------------------------------- list

bool TBMPOpenForm::selectedItem(QString& name, bool& isFolder) const {
    const QModelIndexList selected = JamShellList1->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return false;
    QModelIndex index = JamShellList1->selectionModel()->currentIndex();
    if (!index.isValid() || !JamShellList1->selectionModel()->isSelected(index)) index = selected.first();
    name = ShellModel->fileName(index);
    isFolder = ShellModel->isDir(index);
    return true;
}

void TBMPOpenForm::JamShellList1Change() {
    QString name;
    bool isFolder = false;
    if (!selectedItem(name, isFolder) || isFolder) return;
    FileNameEdit->setText(name);
    OpenFileNow(name);
}

void TBMPOpenForm::JamShellList1DblClick() {
    QString name;
    bool isFolder = false;
    if (!selectedItem(name, isFolder)) return;
    if (isFolder) {
        setFolder(folderPath() + name);
        return;
    }
    OpenFileNow(name);
    choose(folderPath() + name);
}

QString TBMPOpenForm::typedPath() const {
    const QString typed = FileNameEdit->text();
    if (typed == QLatin1String("~")) return QDir::homePath();
    if (typed.startsWith(QLatin1String("~/"))) return QDir::homePath() + typed.mid(1);
    if (QDir::isAbsolutePath(typed)) return typed;
    return folderPath() + typed;
}

void TBMPOpenForm::choose(const QString& path) {
    if (m_folders) m_folders->remember(FileKind::Picture, path);
    ChosenFile = SubProgPath(path, m_programFolder);
    accept();
}

void TBMPOpenForm::BitBtn1Click() {
    const QString path = typedPath();
    // A folder typed is where the user wants to look, as in other file dialogs.
    if (!FileNameEdit->text().isEmpty() && QFileInfo(path).isDir()) {
        setFolder(path);
        FileNameEdit->clear();
        return;
    }
    // The name is not checked here: loading reports a missing file.
    choose(path);
}

// ---------------------------------------------------------------- preview

void TBMPOpenForm::OpenFileNow(const QString& fileName) {
    if (VSchauCheck->isChecked()) {
        QImage loaded;
        if (LoadBit(loaded, folderPath() + fileName, m_programFolder) && !loaded.isNull())
            m_preview = loaded;
        else
            m_preview = QImage();
    } else {
        m_preview = QImage();
    }
    PaintBox1->repaint();
}

void TBMPOpenForm::paintPreview(QWidget* box) {
    QPainter p(box);
    p.fillRect(box->rect(), AppWorkspace);
    if (!VSchauCheck->isChecked() || m_preview.width() < 1 || m_preview.height() < 1) return;
    const long long pw = box->width(), ph = box->height();
    const long long bw = m_preview.width(), bh = m_preview.height();
    long long width = pw;
    long long height = pw * bh / bw;
    if (height > ph) {
        height = ph;
        width = ph * bw / bh;
    }
    p.drawImage(QRect(0, 0, static_cast<int>(width), static_cast<int>(height)), m_preview);
}
