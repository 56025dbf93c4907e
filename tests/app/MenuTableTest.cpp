// The menu bar against the one table of the final menus (docs/MENUS.md in the
// project). Rows are switched on by their "From" column: a branch that
// builds its menu items adds its value to SwitchedOn, nothing else.
#include "AppTestSupport.h"
#include "DescribedMenus.h"

#include "edit/CanvasMenu.h"
#include "edit/ObjectMenu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

// The "From" values whose rows the program builds today.
const QSet<QString> SwitchedOn = {
    QStringLiteral("described"),
    QStringLiteral("3D issue"),
    QStringLiteral("undo issue"),
    QStringLiteral("vector-export issue"),
    QStringLiteral("Linux issue"),
    QStringLiteral("printed-sheet issue"),
    QStringLiteral("box-forms issue"),
    QStringLiteral("face-aware issue"),
    QStringLiteral("selection issue"),
    QStringLiteral("series-data issue"),
};

struct MenuRow {
    QString caption;   // without its remark; empty for a separator
    bool captionIsPrefix = false;
    QString shortcut;
    QString hint;
    QString from;
};

struct MenuTable {
    QString title;
    std::vector<MenuRow> rows;
};

QString menusFile() {
    // The project's own menu table, beside the sources.
    const QString path = QFileInfo(QStringLiteral(FALTARILLON_TEST_DATA "/../../docs/MENUS.md")).absoluteFilePath();
    return QFileInfo(path).isFile() ? path : QString();
}

QStringList cells(const QString& line) {
    QStringList parts = line.trimmed().split(QLatin1Char('|'));
    if (parts.size() < 2) return {};
    parts.removeFirst();
    parts.removeLast();
    for (QString& p : parts) p = p.trimmed();
    return parts;
}

// "&Zuletzt geöffnet (submenu: ...)" names the item "&Zuletzt geöffnet"; a
// remark about the step it shows makes the caption a prefix.
MenuRow parseRow(const QStringList& c, const QString& previousFrom) {
    MenuRow row;
    QString caption = c.value(0);
    static const QRegularExpression remark(QStringLiteral("^(.*?) \\((.*)\\)$"));
    if (caption == QStringLiteral("(separator)")) caption.clear();
    else if (const auto m = remark.match(caption); m.hasMatch()) {
        caption = m.captured(1);
        row.captionIsPrefix = m.captured(2).contains(QStringLiteral("shows the step"));
    }
    row.caption = caption;
    row.shortcut = c.value(1);
    row.hint = c.value(2).section(QStringLiteral("; entries:"), 0, 0).trimmed();
    // A separator without its own value belongs with the row above it.
    row.from = c.value(3).isEmpty() ? previousFrom : c.value(3);
    return row;
}

std::vector<MenuTable> readMenuBarTables(const QString& path) {
    QFile f(path);
    std::vector<MenuTable> tables;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return tables;
    bool inMenuBar = false;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("## "))) {
            inMenuBar = line.startsWith(QStringLiteral("## Menu bar"));
            continue;
        }
        if (!inMenuBar) continue;
        if (line.startsWith(QStringLiteral("### "))) {
            tables.push_back({line.mid(4).section(QStringLiteral(" ("), 0, 0).trimmed(), {}});
            continue;
        }
        const QStringList c = cells(line);
        if (tables.empty() || c.size() < 4 || c[0] == QStringLiteral("Caption") || c[0].startsWith(QStringLiteral("---")))
            continue;
        tables.back().rows.push_back(parseRow(c, tables.back().rows.empty() ? QString() : tables.back().rows.back().from));
    }
    return tables;
}

// The rows of a submenu's own table ("## Submenu A&nordnen").
std::vector<MenuRow> readSubmenuTable(const QString& path, const QString& heading) {
    QFile f(path);
    std::vector<MenuRow> rows;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return rows;
    bool inSection = false;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("## "))) {
            inSection = line == QStringLiteral("## ") + heading;
            continue;
        }
        const QStringList c = cells(line);
        if (!inSection || c.size() < 4 || c[0] == QStringLiteral("Caption") || c[0].startsWith(QStringLiteral("---")))
            continue;
        rows.push_back(parseRow(c, rows.empty() ? QString() : rows.back().from));
    }
    return rows;
}

// A context menu as MENUS.md writes it, in prose: the quoted captions in
// order, each with the remark in brackets after it, and whether the
// described items that remain follow ("then the described ... unchanged").
struct ContextItem {
    QString caption;
    QString remark;
    bool submenu = false;   // a submenu of an issue, with its hint in quotes in the remark
    bool child = false;     // an item of the submenu before it; the remark is its hint
};

struct ContextMenuText {
    std::vector<ContextItem> items;
    bool describedRest = false;
};

ContextMenuText readContextMenu(const QString& path, const QString& heading) {
    QFile f(path);
    ContextMenuText menu;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return menu;
    QString body;
    bool inSection = false;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("## "))) {
            inSection = line.startsWith(QStringLiteral("## ") + heading);
            continue;
        }
        if (inSection) body += line + QLatin1Char(' ');
    }
    // A caption in quotes, then perhaps its remark in brackets; a remark may
    // hold brackets and quotes of its own (a hint that explains itself).
    static const QRegularExpression from(QStringLiteral("([\\w-]+ issue)"));
    for (qsizetype at = body.indexOf(QLatin1Char('"')); at >= 0; at = body.indexOf(QLatin1Char('"'), at)) {
        const qsizetype close = body.indexOf(QLatin1Char('"'), at + 1);
        if (close < 0) break;
        ContextItem entry{body.mid(at + 1, close - at - 1), {}};
        at = close + 1;
        while (at < body.size() && body[at].isSpace()) ++at;
        if (at < body.size() && body[at] == QLatin1Char('(')) {
            int depth = 0;
            const qsizetype open = at;
            for (; at < body.size(); ++at) {
                if (body[at] == QLatin1Char('(')) ++depth;
                if (body[at] == QLatin1Char(')') && --depth == 0) break;
            }
            entry.remark = body.mid(open + 1, at - open - 1);
        }
        // A submenu that comes with an issue not yet built ends what this
        // build shows; its own items follow it in the prose.
        const auto issue = from.match(entry.remark);
        if (issue.hasMatch() && !SwitchedOn.contains(issue.captured(1))) break;
        entry.submenu = issue.hasMatch();
        entry.child = !entry.submenu && !menu.items.empty() && (menu.items.back().submenu || menu.items.back().child);
        menu.items.push_back(entry);
    }
    menu.describedRest = body.contains(QStringLiteral("then the described")) && body.contains(QStringLiteral("unchanged"));
    return menu;
}

QString withoutMnemonic(QString caption) { return caption.remove(QLatin1Char('&')); }

QString describe(const QAction* a) {
    if (a->isSeparator()) return QStringLiteral("-");
    QStringList keys;
    for (const QKeySequence& k : a->shortcuts()) keys << k.toString(QKeySequence::PortableText);
    return a->text() + QLatin1Char('|') + keys.join(QStringLiteral(", ")) + QLatin1Char('|') + a->statusTip();
}

QString describe(const MenuRow& r) {
    if (r.caption.isEmpty()) return QStringLiteral("-");
    return r.caption + QLatin1Char('|') + r.shortcut + QLatin1Char('|') + r.hint;
}

}  // namespace

TEST(MenuTable, TheTableIsThereAndNamesTheDescribedItems) {
    const QString path = menusFile();
    ASSERT_FALSE(path.isEmpty()) << "docs/MENUS.md not found in the project";
    const auto tables = readMenuBarTables(path);
    ASSERT_GE(tables.size(), 4u);
    EXPECT_EQ(tables.front().title, QStringLiteral("&Datei"));
    const MenuRow& neu = tables.front().rows.front();
    EXPECT_EQ(describe(neu), QStringLiteral("&Neu...|Ctrl+N|Neue Box erstellen"));
    EXPECT_EQ(neu.from, QStringLiteral("described"));
    int described = 0;
    for (const auto& t : tables)
        for (const auto& r : t.rows) described += r.from == QStringLiteral("described") && !r.caption.isEmpty();
    EXPECT_EQ(described, 11);
}

TEST(MenuTable, MenuBarShowsTheSwitchedOnRowsInTheirOrder) {
    const QString path = menusFile();
    ASSERT_FALSE(path.isEmpty()) << "docs/MENUS.md not found in the project";
    StartedWindow w(false);

    QStringList expected, actual;
    std::vector<MenuRow> rows;   // parallel to expected, for prefix captions
    for (const MenuTable& t : readMenuBarTables(path)) {
        std::vector<const MenuRow*> on;
        for (const MenuRow& r : t.rows)
            if (SwitchedOn.contains(r.from)) on.push_back(&r);
        if (on.empty()) continue;
        expected << t.title;
        rows.push_back({t.title, false, {}, {}, {}});
        for (const MenuRow* r : on) {
            expected << describe(*r);
            rows.push_back(*r);
        }
    }
    for (QAction* top : w.window->menuBar()->actions()) {
        actual << top->text();
        for (QAction* a : top->menu()->actions()) actual << describe(a);
    }
    ASSERT_EQ(actual.size(), expected.size()) << actual.join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < expected.size(); ++i) {
        if (rows[size_t(i)].captionIsPrefix) {
            const QStringList want = expected[i].split(QLatin1Char('|')), got = actual[i].split(QLatin1Char('|'));
            EXPECT_TRUE(got.value(0).startsWith(want.value(0))) << got.value(0).toStdString();
            EXPECT_EQ(got.mid(1), want.mid(1));
        } else {
            EXPECT_EQ(actual[i], expected[i]);
        }
    }
}

namespace {

QString describe(const DescribedMenuItem& d) {
    if (!d.name) return QStringLiteral("-");
    return QString::fromUtf8(d.caption) + QLatin1Char('|') + QString::fromUtf8(d.shortcut) + QLatin1Char('|') +
           QString::fromUtf8(d.hint);
}

// The items a context menu must show: described captions come with their
// described shortcut and hint, items whose remark says "hint as in
// Bearbeiten" take the hint of the Bearbeiten row with the same caption (its
// mnemonic may differ) and no shortcut.
QStringList expectedContextMenu(const QString& path, const QString& heading,
                                const std::vector<DescribedMenuItem>& described) {
    const ContextMenuText text = readContextMenu(path, heading);
    EXPECT_FALSE(text.items.empty()) << heading.toStdString();
    std::vector<MenuRow> edit;
    for (const MenuTable& t : readMenuBarTables(path))
        if (t.title == QStringLiteral("&Bearbeiten")) edit = t.rows;
    QStringList expected, submenu;
    int lastDescribed = -1;
    for (const ContextItem& item : text.items) {
        if (item.submenu) {
            // After the described items, behind a separator: caption and the
            // quoted hint of its remark.
            const qsizetype open = item.remark.indexOf(QLatin1Char('"'));
            const qsizetype close = item.remark.indexOf(QLatin1Char('"'), open + 1);
            EXPECT_GE(open, 0) << item.caption.toStdString() << " has no hint";
            submenu << QStringLiteral("-") << item.caption + QStringLiteral("||") + item.remark.mid(open + 1, close - open - 1);
            continue;
        }
        if (item.child) continue;   // checked in the submenu itself
        int found = -1;
        for (size_t i = 0; i < described.size(); ++i)
            if (described[i].name && QString::fromUtf8(described[i].caption) == item.caption) found = int(i);
        if (found >= 0) {
            expected << describe(described[size_t(found)]);
            lastDescribed = found;
            continue;
        }
        if (!item.remark.contains(QStringLiteral("hint as in Bearbeiten"))) {
            ADD_FAILURE() << "MENUS.md names " << item.caption.toStdString() << " with no hint to check";
            continue;
        }
        QString hint;
        for (const MenuRow& r : edit)
            if (!r.caption.isEmpty() && withoutMnemonic(r.caption) == withoutMnemonic(item.caption)) hint = r.hint;
        EXPECT_FALSE(hint.isEmpty()) << item.caption.toStdString() << " is no Bearbeiten item";
        expected << item.caption + QStringLiteral("||") + hint;
    }
    if (text.describedRest)
        for (size_t i = size_t(lastDescribed + 1); i < described.size(); ++i) expected << describe(described[i]);
    // "after the described turn items"
    qsizetype turn = -1;
    for (qsizetype i = 0; i < expected.size(); ++i)
        if (expected[i].contains(QStringLiteral("rotieren|"))) turn = i;
    EXPECT_TRUE(submenu.isEmpty() || turn >= 0);
    for (qsizetype i = 0; i < submenu.size(); ++i) expected.insert(turn + 1 + i, submenu[i]);
    return expected;
}

// The items of the submenu the prose names, caption and hint.
QStringList expectedSubmenu(const QString& path, const QString& heading) {
    QStringList expected;
    for (const ContextItem& item : readContextMenu(path, heading).items)
        if (item.child) expected << item.caption + QStringLiteral("||") + item.remark;
    return expected;
}

QStringList shown(QMenu& menu) {
    QStringList items;
    const QList<QAction*> actions = menu.actions();
    for (int i = 0; i < actions.size(); ++i) {
        // The face submenu is built ahead of its Einstellungen item; until the
        // face-aware issue is switched on as a whole, the table stops before
        // it, so it and its separator are left out here.
        const bool faceMenu = [&](int k) {
            return k < actions.size() && actions[k]->objectName() == QStringLiteral("AufFlaecheM");
        }(i) || (actions[i]->isSeparator() && i + 1 < actions.size() &&
                 actions[i + 1]->objectName() == QStringLiteral("AufFlaecheM"));
        if (faceMenu && !SwitchedOn.contains(QStringLiteral("face-aware issue"))) continue;
        items << describe(actions[i]);
    }
    return items;
}

}  // namespace

// The editor's context menus against the prose of MENUS.md and the described
// items it refers to: captions, order, separators, shortcut labels and hints.
TEST(MenuTable, ContextMenusShowTheTableAndTheDescribedItems) {
    const QString path = menusFile();
    ASSERT_FALSE(path.isEmpty()) << "docs/MENUS.md not found in the project";
    const ContextMenuText objectText = readContextMenu(path, QStringLiteral("Object context menu"));
    ASSERT_EQ(objectText.items.size(), 9u);   // three items, the face submenu and its four, Anordnen
    EXPECT_TRUE(objectText.describedRest);

    StartedWindow w(false);
    auto* objectMenu = w.window->findChild<ObjectMenu*>();
    auto* canvasMenu = w.window->findChild<CanvasMenu*>();
    ASSERT_TRUE(objectMenu && canvasMenu);

    const QStringList object = expectedContextMenu(path, QStringLiteral("Object context menu"), describedObjectMenu());
    EXPECT_EQ(object.size(), int(describedObjectMenu().size()) + 6);
    EXPECT_EQ(shown(objectMenu->menu()).join(QLatin1Char('\n')).toStdString(), object.join(QLatin1Char('\n')).toStdString());
    QMenu* faceMenu = nullptr;
    for (QAction* a : objectMenu->menu().actions())
        if (a->objectName() == QStringLiteral("AufFlaecheM")) faceMenu = a->menu();
    ASSERT_TRUE(faceMenu);
    const QStringList faceItems = expectedSubmenu(path, QStringLiteral("Object context menu"));
    EXPECT_EQ(faceItems.size(), 4);
    EXPECT_EQ(shown(*faceMenu).join(QLatin1Char('\n')).toStdString(), faceItems.join(QLatin1Char('\n')).toStdString());

    const QStringList canvas = expectedContextMenu(path, QStringLiteral("Canvas context menu"), describedCanvasMenu());
    EXPECT_EQ(canvas.size(), 2);
    EXPECT_EQ(shown(canvasMenu->menu()).join(QLatin1Char('\n')).toStdString(), canvas.join(QLatin1Char('\n')).toStdString());

    // The new items' mnemonics collide with no other item of their menu (the
    // described duplicates stay as described).
    const std::pair<const char*, QMenu*> menus[] = {{"Object context menu", &objectMenu->menu()},
                                                    {"Canvas context menu", &canvasMenu->menu()}};
    for (const auto& entry : menus) {
        const QList<QAction*> actions = entry.second->actions();
        for (const ContextItem& item : readContextMenu(path, QString::fromLatin1(entry.first)).items) {
            if (!item.remark.contains(QStringLiteral("hint as in Bearbeiten")) && !item.submenu) continue;
            const QKeySequence key = QKeySequence::mnemonic(item.caption);
            ASSERT_FALSE(key.isEmpty()) << item.caption.toStdString();
            for (QAction* other : actions)
                if (!other->isSeparator() && other->text() != item.caption)
                    EXPECT_NE(QKeySequence::mnemonic(other->text()), key)
                        << item.caption.toStdString() << " and " << other->text().toStdString();
        }
    }
}

// "A&nordnen" in Bearbeiten and in the object menu against its table: the
// same captions, hints and order; the object menu only labels the shortcuts.
TEST(MenuTable, ArrangeSubmenusShowTheirTable) {
    const QString path = menusFile();
    ASSERT_FALSE(path.isEmpty()) << "docs/MENUS.md not found in the project";
    const std::vector<MenuRow> rows = readSubmenuTable(path, QStringLiteral("Submenu A&nordnen"));
    ASSERT_EQ(rows.size(), 15u);
    QStringList expected;
    for (const MenuRow& r : rows) expected << describe(r);

    StartedWindow w(false);
    QMenu* bar = w.window->menuBar()->findChild<QMenu*>(QStringLiteral("Anordnen1"));
    auto* objectMenu = w.window->findChild<ObjectMenu*>();
    ASSERT_TRUE(bar && objectMenu);
    QStringList inBar, inObject;
    for (QAction* a : bar->actions()) inBar << describe(a);
    for (QAction* a : objectMenu->Anordnen->actions()) {
        inObject << describe(a);
        if (!a->shortcut().isEmpty()) EXPECT_EQ(a->shortcutContext(), Qt::WidgetShortcut) << a->text().toStdString();
    }
    EXPECT_EQ(inBar.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
    EXPECT_EQ(inObject, inBar);
    // Mnemonics are unique within the submenu.
    QSet<QString> keys;
    for (const MenuRow& r : rows)
        if (!r.caption.isEmpty()) keys.insert(QKeySequence::mnemonic(r.caption).toString());
    EXPECT_EQ(keys.size(), 12);
}
