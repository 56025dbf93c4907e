#pragma once
// The property panel (Panel10) right of the canvas: pages for figures,
// texts, images and for every object, showing the current object's values
// and offering the object commands as buttons. CheckAllPanelOptions brings
// it in line with the current object; the canvas's full repaint calls it
// first thing.

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class EditorEnvironment;
class ObjectCommands;
class SpinEdit;

class PropertyPanel : public QWidget {
    Q_OBJECT
public:
    PropertyPanel(EditorEnvironment& env, ObjectCommands& commands, QWidget* parent = nullptr);

    void CheckAllPanelOptions();

    QTabWidget* PageControl3;
    QWidget* FigurSheet;
    QWidget* TextSheet;
    QWidget* BildSheet;
    QWidget* AllgemeinSheet;

    QRadioButton* RadioButtons[10];   // RadioButton1 .. RadioButton10, by shape code
    QPushButton* ColorBtn;
    QPushButton* UColorBtn;
    QRadioButton* FilledCheck;
    QRadioButton* BorderCheck;
    QRadioButton* FilledBorderCheck;
    SpinEdit* LinieEd;

    QPushButton* EnterTextBtn;
    QPushButton* Color2Btn;
    QPushButton* FontBtn;
    QPushButton* TextFXBtn;
    QRadioButton* Leftalign;
    QRadioButton* CenterAlign;
    QRadioButton* RightAlign;
    QPushButton* BitBtn2;   // turn left
    QPushButton* BitBtn1;   // turn right

    QCheckBox* SVerhCheck;
    QPushButton* RotLeftBtn;
    QPushButton* RotRightBtn;
    QPushButton* TranspBtn;

    QPushButton* Del1Btn;
    QPushButton* Front1Btn;
    QPushButton* Back1Btn;

    // Whether a page's tab is shown.
    bool isPageShown(QWidget* page) const;

private:
    void showPage(QWidget* page, bool shown);
    void activatePage(QWidget* page);
    void LinieEdChange();
    void followObject();

    EditorEnvironment& m_env;
    ObjectCommands& m_commands;
};
