#pragma once
// The "3D-Ansicht" tab: the folded box (FoldView) under a bar with the
// folding slider, the fold animation, saving the view as a picture and the
// face labels.

#include "model/FolderMemory.h"

#include <QElapsedTimer>
#include <QSize>
#include <QWidget>
#include <functional>

struct BoxDocument;
class FoldView;
class Prompter;
class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

class FoldPage : public QWidget {
    Q_OBJECT
public:
    // percent: the box size (ProzED). chooseSize asks for the size of a
    // saved picture (the "Bildgröße" dialog when empty).
    FoldPage(BoxDocument& doc, Prompter& prompter, std::function<int()> percent,
             std::function<bool(QSize&)> chooseSize = {}, QWidget* parent = nullptr);

    // The animation's length from flat to closed, and its frame interval.
    static constexpr int FoldMilliseconds = 2000;
    static constexpr int FrameMilliseconds = 16;
    static constexpr int DefaultSaveWidth = 1600;
    static constexpr int DefaultSaveHeight = 1200;

    // Shows a changed document, box size or background the next time the
    // page is visible; now when it is.
    void refresh();
    // Another design (New, Open, a sample): its box seen from the start
    // view, the turn and zoom of the one before are gone.
    void showNewDesign();
    // "&Falten" / "Ent&falten": plays the fold from the slider's state to
    // closed, or back to flat when closed; the caption says which comes.
    void FaltenBtnClick();
    // "Bild &speichern...": size, file name, picture. The name offered is
    // the box file's with "-3D.png", in the folder pictures went to last.
    // False when nothing was saved: cancelled, or the file could not be written.
    bool SaveBtnClick();
    bool animating() const;
    // The window's folders for pictures, shared with its other dialogs;
    // until it lends them the page keeps its own for the run.
    void setFolders(FolderMemory* folders) { m_folders = folders ? folders : &m_ownFolders; }

    QSlider* FaltungSlider = nullptr;
    QLabel* FaltungLabel = nullptr;
    QPushButton* FaltenBtn = nullptr;
    QPushButton* SaveBtn = nullptr;
    QCheckBox* LabelsCheck = nullptr;
    FoldView* View = nullptr;

signals:
    // Where a saved picture went, for the status bar.
    void statusReported(const QString& text);

private:
    void sliderMoved(int value);
    void animationStep();
    void showFoldCaption();

    BoxDocument& m_doc;
    Prompter& m_prompter;
    std::function<bool(QSize&)> m_chooseSize;
    QTimer* m_timer = nullptr;
    QElapsedTimer m_clock;
    double m_from = 0;
    double m_to = 1;
    QSize m_saveSize{DefaultSaveWidth, DefaultSaveHeight};
    FolderMemory m_ownFolders{false};
    FolderMemory* m_folders = &m_ownFolders;
};
