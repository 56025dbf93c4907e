#pragma once
// "Boxform": the style first, chosen from a row of small pictures of the
// styles' nets (the lock-lid box as cube or cuboid, the sleeve, the tuck-end
// boxes), then the measures, the board's thickness and the finger notch
// where the style has one, with a live drawing of the net and the room it
// takes on the item. OK is refused
// while the net does not fit; the message offers the largest measures in
// the same proportions that would.

#include "box/NetSource.h"
#include "model/SheetLayout.h"

#include <QDialog>

class NetPreview;
class Prompter;
class QCheckBox;
class QDoubleSpinBox;
class QListWidget;
class QLabel;
class QPushButton;
class QRadioButton;

class TBoxFormForm : public QDialog {
    Q_OBJECT
public:
    // percent: the editor's box size, which a cube's net follows.
    TBoxFormForm(const SheetLayout& layout, int percent, Prompter& prompter, QWidget* parent = nullptr);

    void setForm(const BoxForm& form);
    // As chosen; the measures rounded to the 0,1 mm step.
    BoxForm form() const;
    NetSource source() const { return NetSource{form(), m_percent}; }

    // Accepts when the net fits; otherwise says why and, where there is one,
    // offers the largest fitting measures (taken into the fields on Yes).
    void OkBtnClick();

    QListWidget* StyleList;   // one picture per style, in the order of boxform::styles()
    QRadioButton* WuerfelRadio;
    QRadioButton* QuaderRadio;
    QDoubleSpinBox* LaengeEd;
    QDoubleSpinBox* BreiteEd;
    QDoubleSpinBox* HoeheEd;
    QDoubleSpinBox* DickeEd;
    QCheckBox* GriffmuldeCheck;
    NetPreview* Preview;
    QLabel* RoomLabel;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;

    // The style chosen in StyleList.
    BoxStyle style() const;

private:
    void formChanged();
    // The cuboid's measures, or the cube's edge in all three when Würfel is chosen.
    void showMeasures();
    // The lock-lid style with Würfel chosen: the measures follow the box size.
    bool showsCube() const;

    SheetLayout m_layout;
    int m_percent;
    BoxForm m_cuboid;   // the measures a cuboid gets, kept while Würfel is chosen
    Prompter& m_prompter;
};
