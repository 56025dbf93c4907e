#pragma once
// The "Drucken" tab (TabSheet2): the button bar SpeedBar1, the preview page
// VPaint in the scroll box ScrollBox2, and the assembly text RichEdit1.

#include "model/BoxForm.h"

#include <QWidget>
#include <functional>

class PrintController;
class SheetOptionsBar;
class QScrollArea;
class QTextEdit;
class QToolButton;

class PreviewCanvas : public QWidget {
    Q_OBJECT
public:
    PreviewCanvas(PrintController& controller, std::function<int()> percent, QWidget* parent = nullptr);
    int paintCount() const { return m_paints; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PrintController& m_controller;
    std::function<int()> m_percent;
    int m_paints = 0;
};

class PrintPage : public QWidget {
    Q_OBJECT
public:
    PrintPage(PrintController& controller, std::function<int()> percent, QWidget* parent = nullptr);

    // The instruction for a cube; a cuboid's names its measures after the
    // first line.
    static QString assemblyText(const BoxForm& form = BoxForm());

    // Sizes the preview page to the printer and repaints it (VPaintPaint).
    void VPaintPaint();

    QToolButton* PrintSetupBtn = nullptr;
    QToolButton* PrintBtn = nullptr;
    QToolButton* ZoominBtn = nullptr;
    QToolButton* ZoomOutBtn = nullptr;
    QScrollArea* ScrollBox2 = nullptr;
    PreviewCanvas* VPaint = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    SheetOptionsBar* SheetOptions1 = nullptr;

signals:
    void printSetupRequested();
    void printRequested();
    void cutFileRequested();

private slots:
    void ZoominBtnClick();
    void ZoomOutBtnClick();

private:
    PrintController& m_controller;
};
