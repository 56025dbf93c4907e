#include "app/SheetOptionsBar.h"

#include "app/BarControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QDoubleSpinBox* mmSpin(QWidget* parent, const char* name, double min, double max, const QString& hint) {
    auto* s = new QDoubleSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(min, max);
    s->setDecimals(1);
    s->setSingleStep(0.5);
    s->setSuffix(QStringLiteral(" mm"));
    setHint(s, hint);
    s->setFixedWidth(64);
    return s;
}

}  // namespace

SheetOptionsBar::SheetOptionsBar(SheetOptions& options, SeriesChoice* series, QWidget* parent)
    : QWidget(parent), m_options(options), m_series(series) {
    setObjectName(QStringLiteral("SheetOptionsBar"));

    BleedCheck = new QCheckBox(QStringLiteral("Beschnittzugabe"), this);
    BleedCheck->setObjectName(QStringLiteral("BleedCheck"));
    setHint(BleedCheck, QStringLiteral("Druckt das Motiv über die Schnittlinie hinaus, damit kein weißer Rand bleibt"));
    BleedEd = mmSpin(this, "BleedEd", SheetOptions::MinBleedMm, SheetOptions::MaxBleedMm,
                     QStringLiteral("Wie weit das Motiv über die Schnittlinie hinausreicht"));

    auto* copiesLabel = new QLabel(QStringLiteral("Boxen pro Blatt:"), this);
    CopiesCombo = new QComboBox(this);
    CopiesCombo->setObjectName(QStringLiteral("CopiesCombo"));
    CopiesCombo->addItem(QStringLiteral("1"));
    CopiesCombo->addItem(QStringLiteral("So viele wie passen"));
    copiesLabel->setBuddy(CopiesCombo);
    setHint(CopiesCombo, QStringLiteral("Eine Box pro Blatt oder so viele, wie auf das Blatt passen"));

    auto* netLinesLabel = new QLabel(QStringLiteral("Netzlinien:"), this);
    NetLinesCombo = new QComboBox(this);
    NetLinesCombo->setObjectName(QStringLiteral("NetLinesCombo"));
    NetLinesCombo->addItem(QStringLiteral("fein"));
    NetLinesCombo->addItem(QStringLiteral("0,2 mm"));
    netLinesLabel->setBuddy(NetLinesCombo);
    setHint(NetLinesCombo, QStringLiteral("Druckt die gepunkteten Schnitt- und Falzlinien ein Druckerpixel oder 0,2 mm breit"));

    MarksCheck = new QCheckBox(QStringLiteral("Passermarken für Schneideplotter"), this);
    MarksCheck->setObjectName(QStringLiteral("MarksCheck"));
    setHint(MarksCheck, QStringLiteral("Druckt Passermarken, an denen ein Schneideplotter das Blatt ausrichtet"));
    auto* insetLabel = new QLabel(QStringLiteral("Abstand zum Rand:"), this);
    InsetEd = mmSpin(this, "InsetEd", SheetOptions::MinInsetMm, SheetOptions::MaxInsetMm,
                     QStringLiteral("Abstand der Passermarken vom Papierrand"));
    insetLabel->setBuddy(InsetEd);

    CutFileBtn = new QPushButton(QStringLiteral("Schnittdatei speichern..."), this);
    CutFileBtn->setObjectName(QStringLiteral("CutFileBtn"));
    setHint(CutFileBtn, QStringLiteral("Speichert die Schnittlinien des Druckblatts für einen Schneideplotter"));

    // Two short rows fit the window's first width; the strip never makes
    // the window wider than the editor needs.
    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(BleedCheck);
    top->addWidget(BleedEd);
    top->addSpacing(16);
    top->addWidget(copiesLabel);
    top->addWidget(CopiesCombo);
    top->addSpacing(16);
    top->addWidget(netLinesLabel);
    top->addWidget(NetLinesCombo);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(MarksCheck);
    bottom->addWidget(insetLabel);
    bottom->addWidget(InsetEd);
    bottom->addSpacing(16);
    bottom->addWidget(CutFileBtn);
    bottom->addStretch(1);
    // The series row: which rows of the linked data become boxes.
    SeriesRow = new QWidget(this);
    SeriesRow->setObjectName(QStringLiteral("SeriesRow"));
    auto* seriesLabel = new QLabel(QStringLiteral("Datensätze:"), SeriesRow);
    SeriesCombo = new QComboBox(SeriesRow);
    SeriesCombo->setObjectName(QStringLiteral("SeriesCombo"));
    SeriesCombo->addItem(QStringLiteral("Angezeigter Datensatz"));
    SeriesCombo->addItem(QStringLiteral("Alle Datensätze"));
    SeriesCombo->addItem(QStringLiteral("Datensätze von … bis …"));
    seriesLabel->setBuddy(SeriesCombo);
    setHint(SeriesCombo, QStringLiteral("Druckt den angezeigten Datensatz oder eine Box je Datensatz, so viele pro "
                                        "Blatt wie passen"));
    auto* fromLabel = new QLabel(QStringLiteral("von"), SeriesRow);
    SeriesFromEd = new QSpinBox(SeriesRow);
    SeriesFromEd->setObjectName(QStringLiteral("SeriesFromEd"));
    setHint(SeriesFromEd, QStringLiteral("Der erste Datensatz, der gedruckt wird"));
    auto* toLabel = new QLabel(QStringLiteral("bis"), SeriesRow);
    SeriesToEd = new QSpinBox(SeriesRow);
    SeriesToEd->setObjectName(QStringLiteral("SeriesToEd"));
    setHint(SeriesToEd, QStringLiteral("Der letzte Datensatz, der gedruckt wird"));
    for (QSpinBox* spin : {SeriesFromEd, SeriesToEd}) {
        spin->setRange(1, 1);
        spin->setFixedWidth(80);
    }
    auto* seriesLine = new QHBoxLayout(SeriesRow);
    seriesLine->setContentsMargins(0, 0, 0, 0);
    seriesLine->setSpacing(6);
    seriesLine->addWidget(seriesLabel);
    seriesLine->addWidget(SeriesCombo);
    seriesLine->addWidget(fromLabel);
    seriesLine->addWidget(SeriesFromEd);
    seriesLine->addWidget(toLabel);
    seriesLine->addWidget(SeriesToEd);
    seriesLine->addStretch(1);
    SeriesRow->setVisible(false);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(8, 2, 8, 4);
    rows->setSpacing(2);
    rows->addLayout(top);
    rows->addLayout(bottom);
    rows->addWidget(SeriesRow);
    rows->setSizeConstraint(QLayout::SetNoConstraint);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    showOptions();
    connect(BleedCheck, &QCheckBox::toggled, this, &SheetOptionsBar::takeOptions);
    connect(BleedEd, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &SheetOptionsBar::takeOptions);
    connect(CopiesCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &SheetOptionsBar::takeOptions);
    connect(NetLinesCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &SheetOptionsBar::takeOptions);
    connect(MarksCheck, &QCheckBox::toggled, this, &SheetOptionsBar::takeOptions);
    connect(InsetEd, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &SheetOptionsBar::takeOptions);
    connect(CutFileBtn, &QPushButton::clicked, this, &SheetOptionsBar::cutFileRequested);
    connect(SeriesCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &SheetOptionsBar::takeSeries);
    connect(SeriesFromEd, qOverload<int>(&QSpinBox::valueChanged), this, &SheetOptionsBar::takeSeries);
    connect(SeriesToEd, qOverload<int>(&QSpinBox::valueChanged), this, &SheetOptionsBar::takeSeries);
}

void SheetOptionsBar::showSeries(bool linked, int rowCount) {
    if (!m_series) return;
    m_showing = true;
    SeriesRow->setVisible(linked);
    const int last = std::max(rowCount, 1);
    SeriesFromEd->setRange(1, last);
    SeriesToEd->setRange(1, last);
    // A new table keeps the range within itself; the whole table at first.
    if (m_series->mode != SeriesChoice::Range) m_series->to = last;
    m_series->from = std::clamp(m_series->from, 1, last);
    m_series->to = std::clamp(m_series->to, m_series->from, last);
    SeriesCombo->setCurrentIndex(int(m_series->mode));
    SeriesFromEd->setValue(m_series->from);
    SeriesToEd->setValue(m_series->to);
    m_seriesLinked = linked;
    enableDependents();
    SeriesCombo->setEnabled(rowCount > 0);
    SeriesFromEd->setEnabled(rowCount > 0 && m_series->mode == SeriesChoice::Range);
    SeriesToEd->setEnabled(rowCount > 0 && m_series->mode == SeriesChoice::Range);
    m_showing = false;
}

void SheetOptionsBar::takeSeries() {
    if (m_showing || !m_series) return;
    m_series->mode = SeriesChoice::Mode(SeriesCombo->currentIndex());
    m_series->from = SeriesFromEd->value();
    // "bis" never lies before "von".
    m_series->to = std::max(SeriesToEd->value(), m_series->from);
    m_showing = true;
    SeriesToEd->setValue(m_series->to);
    m_showing = false;
    SeriesFromEd->setEnabled(m_series->mode == SeriesChoice::Range);
    SeriesToEd->setEnabled(m_series->mode == SeriesChoice::Range);
    enableDependents();
    emit optionsChanged();
}

void SheetOptionsBar::showOptions() {
    m_showing = true;
    BleedCheck->setChecked(m_options.bleed);
    BleedEd->setValue(m_options.bleedMm);
    CopiesCombo->setCurrentIndex(m_options.fill ? 1 : 0);
    NetLinesCombo->setCurrentIndex(m_options.netLineMm > 0 ? 1 : 0);
    MarksCheck->setChecked(m_options.regMarks);
    InsetEd->setValue(m_options.markInsetMm);
    enableDependents();
    m_showing = false;
}

void SheetOptionsBar::takeOptions() {
    if (m_showing) return;
    m_options.bleed = BleedCheck->isChecked();
    m_options.bleedMm = BleedEd->value();
    m_options.fill = CopiesCombo->currentIndex() == 1;
    m_options.netLineMm = NetLinesCombo->currentIndex() == 1 ? SheetOptions::WideNetLineMm : 0;
    m_options.regMarks = MarksCheck->isChecked();
    m_options.markInsetMm = InsetEd->value();
    enableDependents();
    emit optionsChanged();
}

void SheetOptionsBar::enableDependents() {
    // A distance means something only while its option is on.
    BleedEd->setEnabled(m_options.bleed);
    InsetEd->setEnabled(m_options.regMarks);
    // A box per row always fills the sheet.
    CopiesCombo->setEnabled(!(m_series && m_seriesLinked && m_series->mode != SeriesChoice::Shown));
}
