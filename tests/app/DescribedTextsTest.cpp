// Captions and status-bar hints of the object commands, the image chooser and
// the background dialog, read off the real widgets of the main window and
// compared letter for letter with the texts laid down for them. Each dialog is
// walked whole: every caption it shows and every hint it carries must be one
// of the listed ones, so a stray or changed text is found too.
#include "AppTestSupport.h"
#include "DescribedMenus.h"

#include "app/EditorPage.h"
#include "app/MainMenu.h"
#include "dialogs/BMPOpenFUnit.h"
#include "dialogs/bkgndunit.h"
#include "edit/CanvasMenu.h"
#include "edit/ObjectMenu.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>

namespace {

using Texts = QMap<QString, QString>;   // component name -> text

// What a person reads on the dialog: labels, buttons (check and radio
// buttons too) and group captions.
Texts captionsOf(QWidget* form) {
    Texts texts;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        QString text;
        if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
        if (!text.isEmpty()) texts.insert(w->objectName(), text);
    }
    return texts;
}

// Hints: every status-bar text and tooltip, which the dialogs keep alike.
Texts hintsOf(QWidget* form) {
    Texts hints;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!w->statusTip().isEmpty()) hints.insert(w->objectName(), w->statusTip());
        if (!w->toolTip().isEmpty())
            EXPECT_EQ(w->toolTip(), w->statusTip()) << w->objectName().toStdString();
    }
    return hints;
}

QString lines(const Texts& t) {
    QStringList out;
    for (auto it = t.begin(); it != t.end(); ++it) out << it.key() + QStringLiteral(": ") + it.value();
    return out.join(QLatin1Char('\n'));
}

// The hint reaches the dialog's own status bar as the pointer enters.
void expectHintOnStatusBar(QWidget* form, const char* name, const QString& hint) {
    QWidget* w = form->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(w, nullptr) << name;
    auto* bar = form->findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
    ASSERT_NE(bar, nullptr);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(w, &enter);
    EXPECT_EQ(bar->currentMessage(), hint) << name;
}

}  // namespace

TEST(DescribedTexts, ObjectCommandsInTheirMenusAndButtons) {
    StartedWindow w;
    auto* objectMenu = w.window->findChild<ObjectMenu*>();
    auto* canvasMenu = w.window->findChild<CanvasMenu*>();
    ASSERT_TRUE(objectMenu && canvasMenu);
    for (const auto* table : {&describedObjectMenu(), &describedCanvasMenu()})
        for (const DescribedMenuItem& d : *table) {
            if (!d.name) continue;
            QMenu& menu = table == &describedObjectMenu() ? objectMenu->menu() : canvasMenu->menu();
            QAction* a = menu.findChild<QAction*>(QString::fromLatin1(d.name));
            ASSERT_NE(a, nullptr) << d.name;
            EXPECT_EQ(a->text(), QString::fromUtf8(d.caption)) << d.name;
            EXPECT_EQ(a->statusTip(), QString::fromUtf8(d.hint)) << d.name;
        }
    // Hints of context menus are status-bar texts; a tooltip would only
    // repeat the caption beside the pointer.
    EXPECT_FALSE(objectMenu->menu().toolTipsVisible());
    EXPECT_FALSE(canvasMenu->menu().toolTipsVisible());

    // The background command's other entry points.
    QAction* settings = w.window->findChild<QAction*>(QStringLiteral("Hintergrundbild2"));
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->text(), QStringLiteral("&Hintergrundbild..."));
    EXPECT_EQ(settings->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_EQ(settings->statusTip(), QStringLiteral("Ändert die Einstellungen des Hintergrundbildes"));
    auto* button = w.window->findChild<QToolButton*>(QStringLiteral("SpeedItem6"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Hintergrund"));
    EXPECT_EQ(button->statusTip(), QStringLiteral("Hintergrund auswählen"));

    // A context menu's hint goes to the window's status bar while its item is
    // under the pointer.
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    QMenu& menu = objectMenu->menu();
    menu.popup(w.window->mapToGlobal(QPoint(200, 200)));
    menu.setActiveAction(objectMenu->Nachvorne1);
    EXPECT_EQ(w.window->statusBar()->currentMessage(),
              QStringLiteral("Bringt das Objekt nach vorne, so daß es immer sichtbar ist"));
    menu.close();
}

TEST(DescribedTexts, ImageChooser) {
    StartedWindow w(false);
    auto* form = w.window->findChild<TBMPOpenForm*>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Bild öffnen"));
    const Texts captions{
        {QStringLiteral("Label1"), QStringLiteral("Suchen in:")},
        {QStringLiteral("Label3"), QStringLiteral("Dateiname:")},
        {QStringLiteral("Label2"), QStringLiteral("Dateityp:")},
        {QStringLiteral("BitBtn1"), QStringLiteral("&Öffnen")},
        {QStringLiteral("BitBtn2"), QStringLiteral("A&bbrechen")},
        {QStringLiteral("VSchauCheck"), QStringLiteral("Vorschau")},
    };
    EXPECT_EQ(lines(captionsOf(form)).toStdString(), lines(captions).toStdString());
    const Texts hints{{QStringLiteral("SpeedButton1"), QStringLiteral("Übergeordneter Ordner")}};
    EXPECT_EQ(lines(hintsOf(form)).toStdString(), lines(hints).toStdString());
    expectHintOnStatusBar(form, "SpeedButton1", QStringLiteral("Übergeordneter Ordner"));
}

TEST(DescribedTexts, BackgroundDialog) {
    StartedWindow w(false);
    auto* form = w.window->findChild<Tbkgndform*>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Hintergrundbild auswählen"));
    const Texts captions{
        {QStringLiteral("OpenBtn"), QStringLiteral("Ö&ffnen...")},
        {QStringLiteral("NoBkGndBtn"), QStringLiteral("&Keins")},
        {QStringLiteral("OkBitBtn1"), QStringLiteral("&Zurück")},
        {QStringLiteral("GroupBox1"), QStringLiteral("Einstellungen")},
        {QStringLiteral("RadioButton3"), QStringLiteral("Zentriert größer")},
        {QStringLiteral("RadioButton2"), QStringLiteral("Zentriert kleiner")},
        {QStringLiteral("RadioButton4"), QStringLiteral("Nebeneinander (Kacheln)")},
        {QStringLiteral("RadioButton1"), QStringLiteral("Angepasst an Karte")},
    };
    EXPECT_EQ(lines(captionsOf(form)).toStdString(), lines(captions).toStdString());
    const Texts hints{
        {QStringLiteral("OpenBtn"), QStringLiteral("Öffnet ein Hintergrundbild")},
        {QStringLiteral("NoBkGndBtn"), QStringLiteral("Kein Hintergrundbild auswählen...")},
        {QStringLiteral("OkBitBtn1"), QStringLiteral("Zurück zum Hauptprogramm...")},
        {QStringLiteral("GroupBox1"), QStringLiteral("Wählen Sie die gewünschte Anordnung des Hintergrundbildes")},
    };
    EXPECT_EQ(lines(hintsOf(form)).toStdString(), lines(hints).toStdString());
    for (auto it = hints.begin(); it != hints.end(); ++it)
        expectHintOnStatusBar(form, it.key().toLatin1().constData(), it.value());
    // The radio buttons from top to bottom as described.
    EXPECT_LT(form->RadioButton3->y(), form->RadioButton2->y());
    EXPECT_LT(form->RadioButton2->y(), form->RadioButton4->y());
    EXPECT_LT(form->RadioButton4->y(), form->RadioButton1->y());
}
