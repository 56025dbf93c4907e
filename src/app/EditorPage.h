#pragma once
// The "Editor" tab (TabSheet3): the upper button bar SpeedBar2 with the box
// size, the tool bar on the left, the property panel on the right and in the
// middle GolbalPanel with the two rulers and the scroll box holding the
// canvas. The hidden focus field lies behind the scroll box.

#include <QWidget>

class EditorCanvas;
class EditorScrollBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;
class RulerWidget;
struct BoxDocument;

class EditorPage : public QWidget {
    Q_OBJECT
signals:
    // The user chose another row of the linked data (0-based).
    void seriesRowChosen(int index);

public:
    EditorPage(BoxDocument& doc, EditorCanvas* canvas, QWidget* parent = nullptr);

    // The editing widgets of the tool bar, the property panel and the focus
    // field, placed once they exist.
    void placeToolBar(QWidget* toolBar);
    void placePropertyPanel(QWidget* panel);
    void placeKeyEdit(QWidget* keyEdit);

    int boxPercent() const;
    // Cube edge display and editor repaint for the current box size.
    void ProzEDChange();
    // The size display after the document's form may have changed (New,
    // Open, Boxform, undo, redo): a cuboid shows its measures with the box
    // percentage greyed; a cube that was a cuboid shows its edge at the
    // current percentage, a cube that stays one keeps what its field shows.
    void showForm();
    // Scroll so that the middle third of the editing area is in view.
    void scrollToMiddleThird();
    void repaintRulers();
    // The "Datensatz" field for a table of rowCount rows (0: no data linked,
    // the field disabled), showing row index (0-based) without a signal.
    void showSeriesRows(int rowCount, int index);

    QToolButton* NewBtn = nullptr;
    QToolButton* SpeedItem4 = nullptr;   // open
    QToolButton* SpeedItem5 = nullptr;   // save
    QToolButton* SpeedItem6 = nullptr;   // background
    QSpinBox* ProzED = nullptr;
    QLineEdit* GrossEd = nullptr;
    QLabel* CubeSizeLabel = nullptr;   // "Größe des Würfels:" or "Maße der Box:"
    QLabel* RowLabel = nullptr;        // "Datensatz:"
    QSpinBox* RowED = nullptr;         // the row of linked data shown, from 1
    QLabel* RowCountLabel = nullptr;   // "von N"
    QWidget* SpeedBar2 = nullptr;
    QWidget* GolbalPanel = nullptr;
    RulerWidget* TRuler = nullptr;
    RulerWidget* LRuler = nullptr;
    EditorScrollBox* ScrollBox1 = nullptr;
    EditorCanvas* PaintBox1 = nullptr;

private:
    void showSize(bool refreshCubeEdge);

    BoxDocument& m_doc;
    bool m_showsCuboid = false;
    class QHBoxLayout* m_body = nullptr;
    QWidget* m_toolBarSlot = nullptr;
    QWidget* m_panelSlot = nullptr;
};
