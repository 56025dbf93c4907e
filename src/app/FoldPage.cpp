#include "app/FoldPage.h"

#include "base/SaveFile.h"

#include "app/BarControls.h"
#include "app/FoldView.h"
#include "dialogs/ImageSizeForm.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

QString percentText(int value) { return QString::number(value) + QStringLiteral(" %"); }

}  // namespace

FoldPage::FoldPage(BoxDocument& doc, Prompter& prompter, std::function<int()> percent,
                   std::function<bool(QSize&)> chooseSize, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_prompter(prompter), m_chooseSize(std::move(chooseSize)) {
    setObjectName(QStringLiteral("TabSheet4"));

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("FoldBar"));
    auto* caption = new QLabel(QStringLiteral("Faltung:"), bar);
    FaltungSlider = new QSlider(Qt::Horizontal, bar);
    FaltungSlider->setObjectName(QStringLiteral("FaltungSlider"));
    FaltungSlider->setRange(0, 100);
    FaltungSlider->setValue(100);
    FaltungSlider->setFixedWidth(200);
    FaltungSlider->setAccessibleName(QStringLiteral("Faltung"));
    setHint(FaltungSlider, QStringLiteral("Wie weit die Box gefaltet ist: 0 % flach, 100 % geschlossen"));
    FaltungLabel = new QLabel(percentText(100), bar);
    FaltungLabel->setObjectName(QStringLiteral("FaltungLabel"));
    FaltungLabel->setMinimumWidth(40);
    FaltenBtn = new QPushButton(bar);
    FaltenBtn->setObjectName(QStringLiteral("FaltenBtn"));
    setHint(FaltenBtn, QStringLiteral("Faltet die Box zu, oder wieder auf, wenn sie geschlossen ist"));
    SaveBtn = new QPushButton(QStringLiteral("Bild &speichern..."), bar);
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    setHint(SaveBtn, QStringLiteral("Speichert die Ansicht als PNG- oder JPEG-Bild"));
    LabelsCheck = new QCheckBox(QStringLiteral("Seiten beschrif&ten"), bar);
    LabelsCheck->setObjectName(QStringLiteral("LabelsCheck"));
    setHint(LabelsCheck, QStringLiteral("Schreibt den Namen jeder Seite auf die Box"));

    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(8, 4, 8, 4);
    barLayout->addWidget(caption);
    barLayout->addWidget(FaltungSlider);
    barLayout->addWidget(FaltungLabel);
    barLayout->addSpacing(8);
    barLayout->addWidget(FaltenBtn);
    barLayout->addSpacing(16);
    barLayout->addWidget(LabelsCheck);
    barLayout->addStretch(1);
    barLayout->addWidget(SaveBtn);

    View = new FoldView(doc, std::move(percent), this);
    setHint(View, QStringLiteral("Ziehen dreht die Box, das Mausrad vergrößert, ein Doppelklick zeigt die Startansicht"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(View, 1);

    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(FrameMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &FoldPage::animationStep);
    connect(FaltungSlider, &QSlider::valueChanged, this, &FoldPage::sliderMoved);
    connect(FaltungSlider, &QSlider::sliderPressed, m_timer, &QTimer::stop);
    connect(FaltenBtn, &QPushButton::clicked, this, &FoldPage::FaltenBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &FoldPage::SaveBtnClick);
    connect(LabelsCheck, &QCheckBox::toggled, View, &FoldView::setLabels);
    showFoldCaption();
}

void FoldPage::showFoldCaption() {
    // The button plays towards closed unless the box is closed already.
    FaltenBtn->setText(View->fold() >= 1 ? QStringLiteral("Ent&falten") : QStringLiteral("&Falten"));
}

void FoldPage::showNewDesign() {
    View->resetCamera();
    refresh();
}

void FoldPage::refresh() {
    // A hidden view paints nothing; its next paint brings the pictures up to date.
    if (View->isVisible()) View->update();
}

bool FoldPage::animating() const { return m_timer->isActive(); }

void FoldPage::sliderMoved(int value) {
    FaltungLabel->setText(percentText(value));
    // The animation moves the slider too; only the user's move decides the fold.
    if (!m_timer->isActive()) View->setFold(value / 100.0);
    showFoldCaption();
}

void FoldPage::FaltenBtnClick() {
    m_from = View->fold();
    m_to = m_from >= 1 ? 0 : 1;
    m_clock.start();
    m_timer->start();
}

void FoldPage::animationStep() {
    const double t = std::min(1.0, m_clock.elapsed() / double(FoldMilliseconds));
    const double f = m_from + (m_to - m_from) * t;
    View->setFold(f);
    FaltungSlider->setValue(static_cast<int>(std::lround(f * 100)));
    if (t >= 1) m_timer->stop();
    showFoldCaption();
}

bool FoldPage::SaveBtnClick() {
    QSize size = m_saveSize;
    const bool chosen = m_chooseSize ? m_chooseSize(size) : TImageSizeForm(this).choose(size);
    if (!chosen) return false;
    size = size.boundedTo(QSize(TImageSizeForm::Largest, TImageSizeForm::Largest))
               .expandedTo(QSize(TImageSizeForm::Smallest, TImageSizeForm::Smallest));
    // Pictures of several boxes usually go to one folder of pictures, not
    // each beside its box file; the program's folder is rarely writable.
    const QFileInfo box(m_doc.FileName);
    const QString folder = m_folders->startFolder(FileKind::Picture, m_doc.FileName);
    const QString name = m_doc.FileName.isEmpty() ? QStringLiteral("Faltarillon") : box.completeBaseName();
    QString path = m_prompter.savePath(QStringLiteral("Bild speichern"), folder,
                                       QStringLiteral("PNG-Bild (*.png)|*.png|JPEG-Bild (*.jpg)|*.jpg;*.jpeg"),
                                       name + QStringLiteral("-3D.png"));
    if (path.isEmpty()) return false;
    m_saveSize = size;
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("jpg") && suffix != QLatin1String("jpeg")) {
        path += QStringLiteral(".png");
        suffix = QStringLiteral("png");
    }
    const QImage picture = View->grabView(size);
    // Written beside the target and moved over it only when complete.
    const SaveResult saved =
        picture.isNull() ? SaveResult{false, false, true, false, QStringLiteral("Zu wenig Speicher für das Bild")}
                         : saveFile(path, [&](QIODevice& out) {
                               QImageWriter writer(&out, suffix == QLatin1String("png") ? "png" : "jpeg");
                               if (suffix != QLatin1String("png")) writer.setQuality(92);
                               return writer.write(picture);
                           });
    if (!saved) {
        m_prompter.fileFault(QStringLiteral("Fehler"),
                             QStringLiteral("Das Bild konnte nicht gespeichert werden: ") + QDir::toNativeSeparators(path),
                             path, saved.reason, PromptIcon::Error);
        return false;
    }
    m_folders->remember(FileKind::Picture, path);
    emit statusReported(QStringLiteral("Bild gespeichert: ") + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    return true;
}

