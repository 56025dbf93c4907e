#pragma once
// Everything of the editing interaction that the main window holds: the
// object commands, the clipboard commands, the two context menus and the canvas controller, built
// on one EditorEnvironment. The property panel (edit/PropertyPanel.h), the
// tool bar (edit/EditorToolBar.h) and the focus field (edit/KeyEdit.h) are
// widgets the window places itself; give them editor.commands and
// editor.controller.

#include "edit/CanvasMenu.h"
#include "edit/ClipboardCommands.h"
#include "edit/EditorController.h"
#include "edit/ObjectCommands.h"
#include "edit/ObjectMenu.h"

class Editor {
public:
    explicit Editor(EditorEnvironment& env)
        : commands(env), clipboard(env, commands), objectMenu(env, commands), canvasMenu(env, commands),
          controller(env, commands, objectMenu, canvasMenu) {
        objectMenu.setClipboard(&clipboard);
        canvasMenu.setClipboard(&clipboard);
    }

    ObjectCommands commands;
    ClipboardCommands clipboard;
    ObjectMenu objectMenu;
    CanvasMenu canvasMenu;
    EditorController controller;
};
