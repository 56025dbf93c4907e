#pragma once
// Context menus belong to no window, so their item hints would reach no
// status bar. This passes the hint of the item under the pointer to the
// active window's status bar and clears it when the menu closes.

class QMenu;

void forwardMenuHints(QMenu* menu);
