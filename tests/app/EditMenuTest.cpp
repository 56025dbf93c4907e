// The Bearbeiten menu in the real window: captions with the step's name,
// enabled states, the keys in fields, the context-menu items and the
// history's life across New and Open.
#include "AppTestSupport.h"

#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/FileCommands.h"
#include "app/MainMenu.h"
#include "edit/CanvasMenu.h"
#include "edit/ObjectCommands.h"
#include "edit/ObjectMenu.h"
#include "model/BoxFile.h"
#include "render/Mapping.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

namespace {

struct EditState {
    QString undoText, redoText;
    bool undo, redo, cut, copy, paste;
};

EditState editState(MainMenu& m) {
    return {m.Rckgngig1->text(), m.Wiederholen1->text(), m.Rckgngig1->isEnabled(), m.Wiederholen1->isEnabled(),
            m.Ausschneiden1->isEnabled(), m.Kopieren1->isEnabled(), m.Einfgen1->isEnabled()};
}

// Moves the object under `from` by a drag with a few moves.
void drag(QWidget* canvas, QPoint from, QPoint to) {
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 5; ++i) QTest::mouseMove(canvas, from + (to - from) * i / 5);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
}

void activate(StartedWindow& w) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    w.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
}

}  // namespace

TEST(EditMenu, CaptionsNameTheStepAndItemsFollowHistorySelectionAndClipboard) {
    StartedWindow w;
    QGuiApplication::clipboard()->clear();
    MainMenu& m = *w.window->MainMenu1;
    EditorCanvas* c = w.window->PaintBox1;
    const int slot = placeFigure(w.doc(), 700, 500, 60, 40);
    c->PaintBox1Paint();
    EditState s = editState(m);
    EXPECT_EQ(s.undoText, QStringLiteral("&Rückgängig"));
    EXPECT_EQ(s.redoText, QStringLiteral("&Wiederholen"));
    EXPECT_FALSE(s.undo || s.redo || s.cut || s.copy || s.paste);

    QTest::mouseClick(c, Qt::LeftButton, Qt::NoModifier, QPoint(720, 520));   // selects
    ASSERT_EQ(w.doc().CurrentObject, slot);
    s = editState(m);
    EXPECT_TRUE(s.cut && s.copy);
    EXPECT_FALSE(s.undo || s.paste);

    drag(c, QPoint(720, 520), QPoint(800, 560));
    s = editState(m);
    EXPECT_EQ(s.undoText, QStringLiteral("&Rückgängig: Verschieben"));
    EXPECT_TRUE(s.undo);
    EXPECT_FALSE(s.redo);

    m.Rckgngig1->trigger();
    s = editState(m);
    EXPECT_EQ(s.redoText, QStringLiteral("&Wiederholen: Verschieben"));
    EXPECT_EQ(s.undoText, QStringLiteral("&Rückgängig"));
    EXPECT_TRUE(s.redo);
    EXPECT_FALSE(s.undo);
    EXPECT_EQ(Mapping::screenFor(w.doc()).DevLeft(w.doc().Objects[slot]), 700);

    m.Kopieren1->trigger();
    EXPECT_TRUE(editState(m).paste);
    m.Einfgen1->trigger();
    EXPECT_EQ(w.doc().CurrentObject, slot + 1);
    EXPECT_EQ(editState(m).undoText, QStringLiteral("&Rückgängig: Einfügen"));
    EXPECT_FALSE(editState(m).redo);   // a new step drops what was undone

    m.Ausschneiden1->trigger();
    EXPECT_TRUE(w.doc().Objects[slot + 1].isFree());
    EXPECT_TRUE(w.prompter.messages.empty());   // cut asks nothing: it can be undone
    EXPECT_EQ(editState(m).undoText, QStringLiteral("&Rückgängig: Ausschneiden"));
    EXPECT_FALSE(editState(m).cut);
}

TEST(EditMenu, NewAndOpenEmptyTheHistorySavingKeepsIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kiste.box"));
    StartedWindow w;
    MainMenu& m = *w.window->MainMenu1;
    EditorCanvas* c = w.window->PaintBox1;
    placeFigure(w.doc(), 700, 500, 60, 40);
    c->PaintBox1Paint();
    QTest::mouseClick(c, Qt::LeftButton, Qt::NoModifier, QPoint(720, 520));
    drag(c, QPoint(720, 520), QPoint(760, 540));
    w.prompter.savePaths = {path};
    ASSERT_TRUE(w.window->fileCommands().SaveItemClick());
    EXPECT_TRUE(m.Rckgngig1->isEnabled());

    w.prompter.openPaths = {path};
    w.prompter.answers = {PromptAnswer::No};
    w.window->fileCommands().OpenItemClick();
    EXPECT_FALSE(m.Rckgngig1->isEnabled());
    EXPECT_EQ(w.window->objectCommands().history().count(), 0);

    QTest::mouseClick(c, Qt::LeftButton, Qt::NoModifier, QPoint(770, 550));
    drag(c, QPoint(770, 550), QPoint(700, 500));
    EXPECT_TRUE(m.Rckgngig1->isEnabled());
    w.prompter.answers = {PromptAnswer::No};
    m.Neu1->trigger();
    EXPECT_FALSE(m.Rckgngig1->isEnabled());
    EXPECT_FALSE(m.Wiederholen1->isEnabled());
}

TEST(EditMenu, HiddenKeyFieldHandsEditKeysToTheMenuVisibleFieldsKeepTheirs) {
    StartedWindow w;
    activate(w);
    MainMenu& m = *w.window->MainMenu1;
    EditorCanvas* c = w.window->PaintBox1;
    const int slot = placeFigure(w.doc(), 700, 500, 60, 40);
    c->PaintBox1Paint();
    QTest::mouseClick(c, Qt::LeftButton, Qt::NoModifier, QPoint(720, 520));   // focus to KeyEdit
    drag(c, QPoint(720, 520), QPoint(800, 560));
    QWidget* keyEdit = w.window->findChild<QWidget*>(QStringLiteral("KeyEdit"));
    ASSERT_NE(keyEdit, nullptr);
    keyEdit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEdit->hasFocus(); }));
    const Mapping map = Mapping::screenFor(w.doc());
    auto left = [&] { return map.DevLeft(w.doc().Objects[slot]); };
    ASSERT_EQ(left(), 780);

    QSignalSpy undos(m.Rckgngig1, &QAction::triggered), redos(m.Wiederholen1, &QAction::triggered);
    QTest::keyClick(keyEdit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undos.count(), 1);
    EXPECT_EQ(left(), 700);
    // Every shortcut of "Wiederholen": Ctrl+Y and Ctrl+Shift+Z.
    QTest::keyClick(keyEdit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(left(), 780);
    QTest::keyClick(keyEdit, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(keyEdit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(redos.count(), 2);
    EXPECT_EQ(left(), 780);

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(keyEdit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("application/x-faltarillon-object")));
    QTest::keyClick(keyEdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.doc().CurrentObject, slot + 1);
    QTest::keyClick(keyEdit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(w.doc().Objects[slot + 1].isFree());
    // Nothing typed into the hidden field stays there.
    EXPECT_TRUE(static_cast<QLineEdit*>(keyEdit)->text().isEmpty());

    // The box size field keeps its own undo and clipboard keys.
    QSpinBox* proz = w.window->TabSheet3->ProzED;
    proz->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return proz->hasFocus(); }));
    QLineEdit* field = proz->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    const int undosBefore = undos.count();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("42"));
    ASSERT_EQ(field->text(), QStringLiteral("42"));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undos.count(), undosBefore);
    EXPECT_NE(field->text(), QStringLiteral("42"));   // the field's own undo
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(redos.count(), 2);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), field->text());
    const int objectsBefore = w.doc().Objects.findFreeSlot();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.doc().Objects.findFreeSlot(), objectsBefore);   // no object pasted
    // Other menu shortcuts still go to the menu there.
    QSignalSpy opens(m.OpenItem, &QAction::triggered);
    QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(opens.count(), 1);
}

TEST(EditMenu, ContextMenusOfferCutCopyAndPaste) {
    StartedWindow w;
    auto* objectMenu = w.window->findChild<ObjectMenu*>();
    auto* canvasMenu = w.window->findChild<CanvasMenu*>();
    ASSERT_TRUE(objectMenu && canvasMenu);
    QStringList items;
    for (QAction* a : objectMenu->menu().actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items.mid(0, 5), (QStringList{QStringLiteral("&Löschen..."), QStringLiteral("A&usschneiden"),
                                           QStringLiteral("K&opieren"), QStringLiteral("-"),
                                           QStringLiteral("Nach &vorne")}));
    EXPECT_EQ(objectMenu->Ausschneiden2->statusTip(), w.window->MainMenu1->Ausschneiden1->statusTip());
    EXPECT_EQ(objectMenu->Kopieren2->statusTip(), w.window->MainMenu1->Kopieren1->statusTip());
    QStringList canvasItems;
    for (QAction* a : canvasMenu->menu().actions()) canvasItems << a->text();
    EXPECT_EQ(canvasItems, (QStringList{QStringLiteral("&Hintergrundbild..."), QStringLiteral("&Einfügen")}));
    EXPECT_EQ(canvasMenu->Einfgen2->statusTip(), QStringLiteral("Fügt den Inhalt der Zwischenablage ein"));

    // The canvas menu's paste item follows the clipboard when it opens.
    EditorCanvas* c = w.window->PaintBox1;
    bool enabledEmpty = true, enabledText = false;
    auto rightClickAndRead = [&](bool& enabled) {
        QTimer::singleShot(0, [&] {
            enabled = canvasMenu->Einfgen2->isEnabled();
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            canvasMenu->menu().close();
        });
        QTest::mouseClick(c, Qt::RightButton, Qt::NoModifier, QPoint(300, 200));
    };
    QGuiApplication::clipboard()->clear();
    rightClickAndRead(enabledEmpty);
    QGuiApplication::clipboard()->setText(QStringLiteral("Deckel"));
    rightClickAndRead(enabledText);
    EXPECT_FALSE(enabledEmpty);
    EXPECT_TRUE(enabledText);

    // Cut from the object menu asks nothing and is one step.
    const int slot = placeFigure(w.doc(), 700, 500, 60, 40);
    w.doc().CurrentObject = slot;
    objectMenu->Ausschneiden2->trigger();
    EXPECT_TRUE(w.doc().Objects[slot].isFree());
    EXPECT_TRUE(w.prompter.messages.empty());
    w.window->MainMenu1->Rckgngig1->trigger();
    EXPECT_FALSE(w.doc().Objects[slot].isFree());
    EXPECT_EQ(w.doc().CurrentObject, slot);
}
