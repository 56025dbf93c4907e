#pragma once
// Common look of the program's own dialogs: the small sans-serif dialog font
// and placement in the middle of the screen.

class QGroupBox;
class QWidget;

// 8 points at 96 pixels per inch, as a pixel size so buffers and screens agree.
void applyDialogFont(QWidget* form);
// Moves a top-level window to the centre of its screen.
void centreOnScreen(QWidget* form);
// A group's frame starts at the middle of its caption, which sits on the
// frame line, so controls placed at the described offsets lie inside it.
void applyGroupFrame(QGroupBox* group);
