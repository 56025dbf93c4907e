#pragma once
// The vertical tool bar of the editor (Toolbar): seven buttons in one
// exclusive group, exactly one down; the content tool's button belongs to the
// group but is never shown. The button that is down is the current tool.

#include "edit/EditorEnvironment.h"

#include <QToolBar>

class QButtonGroup;
class QToolButton;

class EditorToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit EditorToolBar(QWidget* parent = nullptr);

    EditorTool currentTool() const;
    // Clicks the tool's button and leaves it down.
    void setCurrentTool(EditorTool tool);
    QToolButton* button(EditorTool tool) const;

signals:
    void toolChanged(EditorTool tool);

private:
    QButtonGroup* m_group;
    QToolButton* m_buttons[7];
};
