#pragma once
// A stand-in for the main window's canvas: a widget that implements the
// editor environment over its own document, forwards its mouse events to the
// controller like the real canvas, records what the editor asked of it and
// answers dialogs from scripts.

#include "edit/Editor.h"
#include "edit/EditorEnvironment.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"

#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

class ScriptedDialogs : public EditorDialogs {
public:
    // Each script returns whether the user confirmed; empty = cancelled.
    std::function<bool(QString& chosenFile)> image;
    std::function<bool(std::int32_t& color)> color;
    std::function<bool(DialogFont& font)> font;
    std::function<bool(QStringList& lines)> text;
    std::function<bool(TextEffectValues& values)> effects;
    std::function<bool(TransparencyValues& values)> transparency;
    std::function<void()> background;   // what the user does in the background dialog
    int imageCalls = 0, backgroundCalls = 0, textCalls = 0, fontCalls = 0;
    QString lastImageFolder, lastImageFilter;
    DialogFont lastFontShown;
    QStringList lastLinesShown;

    bool chooseImage(const QString& folder, const QString& filter, QString& chosenFile) override {
        ++imageCalls;
        lastImageFolder = folder;
        lastImageFilter = filter;
        return image && image(chosenFile);
    }
    bool chooseColor(std::int32_t& c) override { return color && color(c); }
    bool chooseFont(DialogFont& f) override {
        ++fontCalls;
        lastFontShown = f;
        return font && font(f);
    }
    bool editText(QStringList& lines) override {
        ++textCalls;
        lastLinesShown = lines;
        return text && text(lines);
    }
    bool editTextEffects(TextEffectValues& v) override { return effects && effects(v); }
    bool editTransparency(TransparencyValues& v) override { return transparency && transparency(v); }
    void showBackgroundDialog() override {
        ++backgroundCalls;
        if (background) background();
    }
};

class TestCanvas : public QWidget, public EditorEnvironment {
public:
    TestCanvas() : editor(*this) {
        doc.Layout.ItemWidth = 290;
        doc.Layout.ItemHeight = 205;
        doc.updateExtentFromLayout();
        doc.ScreenDivisor = 416;
        doc.Zoom = 1.0;
        canvas = QSize(1646, 1164);
        setMouseTracking(true);
        resize(canvas);
    }

    // --- EditorEnvironment
    BoxDocument& document() override { return doc; }
    int boxPercent() const override { return percent; }
    QSize canvasSize() const override { return canvas; }
    void setCanvasSize(const QSize& size) override { canvas = size; }
    QSize visibleSize() const override { return box; }
    QPoint scrollPosition() const override { return scroll; }
    void setScrollPosition(const QPoint& p) override {
        // The scroll box keeps each position within what can be scrolled.
        scroll = QPoint(std::clamp(p.x(), 0, std::max(0, canvas.width() - box.width())),
                        std::clamp(p.y(), 0, std::max(0, canvas.height() - box.height())));
        scrollRequests.push_back(p);
    }
    void repaint() override {
        ++repaints;
        if (onRepaint) onRepaint();
    }
    void showDragOutline(const QRect& r, const DragGuides& g = {}) override {
        ++outlines;
        lastOutline = r;
        lastGuides = g;
    }
    void setCanvasCursor(CursorSlot slot) override { cursors.push_back(slot); }
    void captureMouse() override { captured = true; }
    void releaseMouse() override { captured = false; }
    EditorTool currentTool() const override { return tool; }
    void setCurrentTool(EditorTool t) override { tool = t; }
    Prompter& prompter() override { return prompts; }
    void popupMenu(QMenu& menu, const QPoint& p) override {
        menusOpened.push_back(menu.objectName());
        menuPoints.push_back(p);
        if (onMenu) onMenu(menu);
    }
    void focusKeyEdit() override { ++keyFocus; }
    int screenDpi() const override { return dpi; }
    EditorDialogs& dialogs() override { return scripted; }
    void showStatus(const QString& text) override { statuses.push_back(text); }

    // --- helpers
    EditorController& controller() { return editor.controller; }
    Tobs& obj(int slot) { return doc.Objects[slot]; }
    int lastCursor() const { return cursors.empty() ? -1 : cursors.back(); }
    // Places an object at a screen rectangle of the current scale.
    int place(int slot, int kind, int x, int y, int w, int h) {
        Tobs& o = doc.Objects[slot];
        o.resetToDefaults();
        o.Kind = kind;
        o.Left = static_cast<int>(x * doc.ScreenDivisor);
        o.Top = static_cast<int>(y * doc.ScreenDivisor);
        o.Width = static_cast<int>(w * doc.ScreenDivisor);
        o.Height = static_cast<int>(h * doc.ScreenDivisor);
        o.Shape = shRectangle;
        return slot;
    }

    BoxDocument doc;
    RecordingPrompter prompts;
    ScriptedDialogs scripted;
    QSize canvas;
    QSize box{600, 400};
    QPoint scroll;
    int percent = 100;
    int dpi = 96;
    EditorTool tool = EditorTool::Pointer;
    int repaints = 0;
    int outlines = 0;
    QRect lastOutline;
    DragGuides lastGuides;
    std::vector<int> cursors;
    bool captured = false;
    int keyFocus = 0;
    std::vector<QString> statuses;
    std::vector<QString> menusOpened;
    std::vector<QPoint> menuPoints;
    std::vector<QPoint> scrollRequests;
    std::function<void(QMenu&)> onMenu;
    std::function<void()> onRepaint;
    Editor editor;

protected:
    // The widget stands for the scroll box's viewport: the canvas point under
    // the pointer moves with the scroll position, as on the real canvas.
    QPoint canvasPoint(QMouseEvent* e) const { return e->position().toPoint() + scroll; }
    void mousePressEvent(QMouseEvent* e) override {
        editor.controller.mousePress(e->button(), e->modifiers(), canvasPoint(e));
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        editor.controller.mouseMove(e->modifiers(), canvasPoint(e));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        editor.controller.mouseRelease(e->button(), e->modifiers(), canvasPoint(e));
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        editor.controller.mouseDoubleClick(e->button(), e->modifiers(), canvasPoint(e));
    }
};
