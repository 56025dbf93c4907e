// The object commands on a selection made by real clicks in the real window:
// "Duplizieren", the quarter turns of the property panel, "Auf Fläche" and
// "Aufrecht drehen" from the object menu, and the panel's settings, each
// checked against the objects alone and undone to the byte.
#include "AppTestSupport.h"

#include "app/EditorCanvas.h"
#include "app/MainMenu.h"
#include "box/FaceGeometry.h"
#include "box/NetSource.h"
#include "edit/DocumentStep.h"
#include "edit/ObjectCommands.h"
#include "edit/PropertyPanel.h"
#include "image/ImageLoader.h"
#include "model/BoxFileWriter.h"
#include "render/Mapping.h"
#include "widgets/SpinEdit.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <functional>
#include <map>
#include <optional>

namespace {

constexpr double Mm = 20000.0 / 25.39995;

struct Scene {
    StartedWindow w;
    EditorCanvas* c = nullptr;
    QTemporaryDir dir;

    Scene() { c = w.window->PaintBox1; }
    BoxDocument& doc() { return w.doc(); }
    Tobs& obj(int slot) { return doc().Objects[slot]; }
    Mapping map() { return Mapping::screenFor(doc()); }
    QByteArray file() { return serializeBoxDocument(doc()); }
    MainMenu& menu() { return *w.window->MainMenu1; }
    PropertyPanel& panel() { return *w.window->Panel10; }
    std::vector<FaceRect> faces() { return faceRects(doc(), NetSource::of(doc(), c->boxPercent())); }
    std::optional<FaceRect> face(const std::function<bool(const FaceRect&)>& which) {
        for (const FaceRect& f : faces())
            if (which(f)) return f;
        return std::nullopt;
    }

    // An object of w x h screen pixels whose top-left corner lies at the
    // fractions (fx, fy) of the face.
    int put(int kind, const FaceRect& f, double fx, double fy, int width = 40, int height = 30) {
        return putAt(kind, map().toDevice(unitsOf(f.left + f.width() * fx)),
                     map().toDevice(unitsOf(f.top + f.height() * fy)), width, height);
    }
    int putAt(int kind, int x, int y, int width, int height) {
        const int slot = placeFigure(doc(), x, y, width, height);
        Tobs& o = obj(slot);
        o.Kind = kind;
        if (kind == Text) {
            o.Content = QStringLiteral("Titel");
            o.Color = 0;
        } else if (kind == Image) {
            const QString path = dir.filePath(QStringLiteral("bild%1.png").arg(slot));
            QImage img(48, 24, QImage::Format_RGB32);
            img.fill(Qt::darkGreen);
            img.setPixel(0, 0, qRgb(255, 0, 0));
            EXPECT_TRUE(img.save(path));
            o.Content = path;
            EXPECT_TRUE(LoadDIBit(o.Picture, path, doc().ProgramFolder));
        }
        c->PaintBox1Paint();
        return slot;
    }
    // Scrolls the object into the middle of the view when it is not well inside.
    void reveal(int slot) {
        const QRect r(map().DevLeft(obj(slot)), map().DevTop(obj(slot)), map().DevWidth(obj(slot)),
                      map().DevHeight(obj(slot)));
        const QRect view = QRect(c->scrollPosition(), c->visibleSize()).adjusted(10, 10, -10, -10);
        if (!view.contains(r.topLeft() + QPoint(5, 5))) {
            c->setScrollPosition(r.topLeft() - QPoint(c->visibleSize().width() / 2, c->visibleSize().height() / 2));
            QCoreApplication::processEvents();
        }
    }
    QPoint inside(int slot) { return QPoint(map().DevLeft(obj(slot)) + 5, map().DevTop(obj(slot)) + 5); }
    void click(int slot, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        reveal(slot);
        QTest::mouseClick(c, Qt::LeftButton, mods, inside(slot));
    }
    // The first becomes current, the others join by Shift+click.
    void select(const std::vector<int>& chosen) {
        click(chosen.front());
        for (size_t i = 1; i < chosen.size(); ++i) click(chosen[i], Qt::ShiftModifier);
        ASSERT_EQ(doc().CurrentObject, chosen.front());
        ASSERT_EQ(doc().selectedSlots().size(), chosen.size());
    }
    // A right click on the object and the named item of its menu, if the
    // menu enables it; false when it does not.
    bool fromObjectMenu(int slot, const char* item) {
        reveal(slot);
        bool enabled = false, seen = false;
        QTimer::singleShot(50, [&] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!popup) return;
            seen = true;
            QAction* a = popup->findChild<QAction*>(QString::fromLatin1(item));
            enabled = a && a->isEnabled();
            popup->close();
            if (enabled) a->trigger();
        });
        QTest::mouseClick(c, Qt::RightButton, Qt::NoModifier, inside(slot));
        EXPECT_TRUE(seen) << item;
        return enabled;
    }
    void undo() { menu().Rckgngig1->trigger(); }
};

// The fields the commands under test change.
struct Placed {
    std::int32_t left, top, width, height, rotation, fontSize, fontHeight;
    int picWidth, picHeight;
    explicit Placed(const Tobs& o)
        : left(o.Left), top(o.Top), width(o.Width), height(o.Height), rotation(o.Rotation), fontSize(o.FontSize),
          fontHeight(o.FontHeight), picWidth(o.Picture.DibWidth()), picHeight(o.Picture.DibHeight()) {}
    bool operator==(const Placed& p) const {
        return left == p.left && top == p.top && width == p.width && height == p.height && rotation == p.rotation &&
               fontSize == p.fontSize && fontHeight == p.fontHeight && picWidth == p.picWidth &&
               picHeight == p.picHeight;
    }
};
std::ostream& operator<<(std::ostream& os, const Placed& p) {
    return os << p.left << "," << p.top << " " << p.width << "x" << p.height << " rot " << p.rotation << " font "
              << p.fontSize << " pic " << p.picWidth << "x" << p.picHeight;
}

}  // namespace

TEST(SelectionCommands, UprightTurnsEachTextAndPictureOnItsOwnFaceAsAloneInOneStep) {
    Scene s;
    const auto side = s.face([](const FaceRect& f) { return f.uprightRotation == 1 || f.uprightRotation == 3; });
    const auto bottom = s.face([](const FaceRect& f) { return f.uprightRotation == 2; });
    const auto front = s.face([](const FaceRect& f) { return f.uprightRotation == 0; });
    ASSERT_TRUE(side && bottom && front);
    const FaceRect sideFace = *side, bottomFace = *bottom, frontFace = *front;
    // The figure is current: it does not turn, and does not hold the others back.
    const int figure = s.put(Figure, sideFace, 0.6, 0.6, 20, 20);
    const int lidText = s.put(Text, sideFace, 0.1, 0.2, 80, 20);
    s.obj(lidText).Content = QStringLiteral("Deckel\rlinks");
    const int picture = s.put(Image, bottomFace, 0.2, 0.2, 48, 24);
    const int frontText = s.put(Text, frontFace, 0.2, 0.3, 20, 70);
    s.obj(frontText).Rotation = 1;
    s.obj(frontText).Content = QStringLiteral("Vorne\rzwei");
    const int offNet = s.putAt(Text, 5, 5, 60, 20);
    s.select({figure, lidText, picture, frontText, offNet});
    const QByteArray before = s.file();

    s.w.prompter.messages.clear();
    ASSERT_TRUE(s.fromObjectMenu(figure, "FlAufrecht"));
    // Two texts of several lines: the user is told once.
    ASSERT_EQ(s.w.prompter.messages.size(), 1u);
    EXPECT_EQ(s.w.prompter.messages[0].text, QStringLiteral("Ein gedrehter Text wird als eine Zeile gezeichnet."));
    EXPECT_EQ(s.obj(lidText).Rotation, sideFace.uprightRotation);
    EXPECT_EQ(s.obj(picture).Rotation, 2);
    EXPECT_EQ(s.obj(frontText).Rotation, 0);
    EXPECT_EQ(s.obj(figure).Rotation, 0);
    EXPECT_EQ(s.obj(offNet).Rotation, 0);
    std::map<int, Placed> together;
    for (int slot : {figure, lidText, picture, frontText, offNet}) together.emplace(slot, Placed(s.obj(slot)));
    EXPECT_EQ(s.menu().Rckgngig1->text(), QStringLiteral("&Rückgängig: Aufrecht drehen"));
    s.undo();
    EXPECT_EQ(s.file(), before);

    // Each one alone, by the same item, comes out as it did in the selection.
    for (int slot : {lidText, picture, frontText}) {
        SCOPED_TRACE(slot);
        s.click(slot);
        ASSERT_EQ(s.doc().selectedSlots(), std::vector<int>{slot});
        ASSERT_TRUE(s.fromObjectMenu(slot, "FlAufrecht"));
        EXPECT_EQ(Placed(s.obj(slot)), together.at(slot));
        s.undo();
    }
    EXPECT_EQ(Placed(s.obj(figure)), together.at(figure));
    EXPECT_EQ(Placed(s.obj(offNet)), together.at(offNet));
    // Nothing to turn: figures and objects off the net leave the item off.
    s.select({figure, offNet});
    EXPECT_FALSE(s.fromObjectMenu(figure, "FlAufrecht"));
}

TEST(SelectionCommands, QuarterTurnsOfThePanelTurnTheSelectedTextsAndPicturesNotItsFigures) {
    struct Case {
        const char* name;
        int currentKind;
        QPushButton* PropertyPanel::*button;   // or from the object menu:
        const char* menuItem;
        int quarter;   // +1 clockwise
    };
    const Case cases[] = {
        {"Text rechts", Text, &PropertyPanel::BitBtn1, nullptr, +1},
        {"Text links", Text, &PropertyPanel::BitBtn2, nullptr, -1},
        {"Bild rechts", Image, &PropertyPanel::RotRightBtn, nullptr, +1},
        {"Bild links", Image, &PropertyPanel::RotLeftBtn, nullptr, -1},
        // A current figure does not hold back the others' turn.
        {"Figur, Objektmenü", Figure, nullptr, "Nachlinksrotieren1", -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Scene s;
        const QPoint at = s.c->scrollPosition() + QPoint(60, 60);
        const int text = s.putAt(Text, at.x(), at.y(), 80, 20);
        const int picture = s.putAt(Image, at.x() + 120, at.y(), 48, 24);
        const int figure = s.putAt(Figure, at.x(), at.y() + 80, 40, 30);
        s.obj(text).Rotation = 3;
        const int current = k.currentKind == Text ? text : k.currentKind == Image ? picture : figure;
        std::vector<int> chosen{current};
        for (int other : {text, picture, figure})
            if (other != current) chosen.push_back(other);
        s.select(chosen);
        const QByteArray before = s.file();
        const Tobs figureBefore = s.obj(figure), pictureBefore = s.obj(picture);

        if (k.button) QTest::mouseClick(s.panel().*k.button, Qt::LeftButton);
        else ASSERT_TRUE(s.fromObjectMenu(current, k.menuItem));
        EXPECT_EQ(s.obj(text).Rotation, (3 + k.quarter + 4) % 4);
        EXPECT_EQ(s.obj(picture).Rotation, (k.quarter + 4) % 4);
        EXPECT_EQ(s.obj(picture).Width, pictureBefore.Height);
        EXPECT_EQ(s.obj(picture).Picture.DibWidth(), 24);
        // The pixel that was top-left is now top-right (clockwise) or bottom-left.
        const QImage turned = s.obj(picture).Picture.image();
        EXPECT_EQ(turned.pixel(k.quarter > 0 ? 23 : 0, k.quarter > 0 ? 0 : 47) & 0xFFFFFF, 0xFF0000u);
        EXPECT_TRUE(sameSlotState(s.obj(figure), figureBefore));
        EXPECT_EQ(s.doc().selectedSlots().size(), 3u);
        s.undo();
        EXPECT_EQ(s.file(), before);
    }
}

TEST(SelectionCommands, DuplicateCopiesTheSelectionBesideItWithItsOwnGroupsInOneStep) {
    Scene s;
    const QPoint at = s.c->scrollPosition() + QPoint(60, 60);
    const int a = s.putAt(Figure, at.x(), at.y(), 40, 30), b = s.putAt(Text, at.x() + 60, at.y(), 50, 20);
    const int loose = s.putAt(Figure, at.x(), at.y() + 70, 30, 30);
    s.obj(a).Group = s.obj(b).Group = 4;
    // A click on a member takes the group; Shift adds the loose one.
    s.click(b);
    s.click(loose, Qt::ShiftModifier);
    ASSERT_EQ(s.doc().selectedSlots(), (std::vector<int>{a, b, loose}));
    const QByteArray before = s.file();
    const Mapping m = s.map();

    s.menu().Duplizieren1->trigger();
    const std::vector<int> copies = s.doc().selectedSlots();
    ASSERT_EQ(copies.size(), 3u);
    std::map<int, int> copyOf;   // original -> copy, by order of slots
    const int originals[] = {a, b, loose};
    for (int i = 0; i < 3; ++i) copyOf[originals[i]] = copies[static_cast<size_t>(i)];
    EXPECT_EQ(s.doc().CurrentObject, copyOf[b]);
    for (int o : originals) {
        SCOPED_TRACE(o);
        const Tobs& orig = s.obj(o);
        const Tobs& copy = s.obj(copyOf[o]);
        EXPECT_GT(copyOf[o], loose);
        EXPECT_EQ(copy.Kind, orig.Kind);
        EXPECT_EQ(m.DevLeft(copy), m.DevLeft(orig) + 10);
        EXPECT_EQ(m.DevTop(copy), m.DevTop(orig) + 10);
        EXPECT_EQ(m.DevWidth(copy), m.DevWidth(orig));
        EXPECT_EQ(copy.Content, orig.Content);
    }
    // The copies of the group form one of their own; the loose copy stays loose.
    EXPECT_NE(s.obj(copyOf[a]).Group, 0);
    EXPECT_EQ(s.obj(copyOf[a]).Group, s.obj(copyOf[b]).Group);
    EXPECT_NE(s.obj(copyOf[a]).Group, 4);
    EXPECT_EQ(s.obj(copyOf[loose]).Group, 0);
    EXPECT_EQ(s.menu().Rckgngig1->text(), QStringLiteral("&Rückgängig: Duplizieren"));
    s.undo();
    EXPECT_EQ(s.file(), before);

    // Room for two copies only: the message, and nothing changes.
    for (int slot = 1; slot <= ObjectTable::Capacity - 2; ++slot)
        if (s.obj(slot).isFree()) s.obj(slot).Kind = Figure;
    s.c->PaintBox1Paint();
    s.click(b);
    s.click(loose, Qt::ShiftModifier);
    const QByteArray full = s.file();
    s.w.prompter.messages.clear();
    s.menu().Duplizieren1->trigger();
    ASSERT_EQ(s.w.prompter.messages.size(), 1u);
    EXPECT_EQ(s.w.prompter.messages[0].text, QStringLiteral("Es wurden zuviele Objekte erstellt!"));
    EXPECT_EQ(s.file(), full);
    EXPECT_NE(s.menu().Rckgngig1->text(), QStringLiteral("&Rückgängig: Duplizieren"));
}

TEST(SelectionCommands, OnFaceArrangesTheSelectionsBoundingBoxKeepingItsLayout) {
    struct Case {
        const char* item;
        const char* step;
    };
    const Case cases[] = {{"FlZentrieren", "Zentrieren"}, {"FlEinpassen", "Einpassen"}, {"FlFuellen", "Füllen"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.item);
        Scene s;
        const auto found = s.face([](const FaceRect& f) { return f.panel == PanelId::Vorne; });
        ASSERT_TRUE(found);
        const FaceRect f = *found;
        const int a = s.put(Figure, f, 0.1, 0.15, 40, 30), b = s.put(Text, f, 0.35, 0.5, 30, 20);
        s.select({a, b});
        // Where each edge lies in the box, as a share of its width or height.
        auto box = [&] {
            const double l = std::min(s.obj(a).Left, s.obj(b).Left), t = std::min(s.obj(a).Top, s.obj(b).Top);
            const double r = std::max<double>(double(s.obj(a).Left) + s.obj(a).Width, double(s.obj(b).Left) + s.obj(b).Width);
            const double bt = std::max<double>(double(s.obj(a).Top) + s.obj(a).Height, double(s.obj(b).Top) + s.obj(b).Height);
            return QRectF(QPointF(l, t), QPointF(r, bt));
        };
        auto shares = [&] {
            const QRectF bb = box();
            std::vector<double> v;
            for (int x : {a, b}) {
                v.push_back((s.obj(x).Left - bb.left()) / bb.width());
                v.push_back((s.obj(x).Top - bb.top()) / bb.height());
                v.push_back(s.obj(x).Width / bb.width());
                v.push_back(s.obj(x).Height / bb.height());
            }
            return v;
        };
        const QRectF box0 = box();
        const std::vector<double> layout = shares();
        const QByteArray before = s.file();

        ASSERT_TRUE(s.fromObjectMenu(a, k.item));
        const QRectF bb = box();
        const std::string item = k.item;
        if (item == "FlZentrieren") {
            EXPECT_NEAR(bb.center().x(), (f.left + f.right) / 2, 1.0);
            EXPECT_NEAR(bb.center().y(), (f.top + f.bottom) / 2, 1.0);
            EXPECT_EQ(bb.size(), box0.size());
        } else if (item == "FlEinpassen") {
            EXPECT_NEAR(bb.center().x(), (f.left + f.right) / 2, 2.0);
            EXPECT_NEAR(bb.center().y(), (f.top + f.bottom) / 2, 2.0);
            // 2 mm free on the side that limits it, at least that on the other.
            EXPECT_NEAR(std::min(f.width() - bb.width(), f.height() - bb.height()), 4 * Mm, 3.0);
            EXPECT_GE(f.width() - bb.width(), 4 * Mm - 3);
            EXPECT_GE(f.height() - bb.height(), 4 * Mm - 3);
            EXPECT_NEAR(bb.width() / bb.height(), box0.width() / box0.height(), 1e-3);
        } else {
            // Over the face, and 1 mm over each edge that is cut.
            EXPECT_NEAR(bb.left(), f.left - (f.cutLeft ? Mm : 0), 1.0);
            EXPECT_NEAR(bb.right(), f.right + (f.cutRight ? Mm : 0), 1.0);
            EXPECT_NEAR(bb.top(), f.top - (f.cutTop ? Mm : 0), 1.0);
            EXPECT_NEAR(bb.bottom(), f.bottom + (f.cutBottom ? Mm : 0), 1.0);
        }
        const std::vector<double> now = shares();
        for (size_t i = 0; i < layout.size(); ++i) EXPECT_NEAR(now[i], layout[i], 2e-3) << i;
        EXPECT_EQ(s.menu().Rckgngig1->text(), QStringLiteral("&Rückgängig: ") + QString::fromUtf8(k.step));
        s.undo();
        EXPECT_EQ(s.file(), before);
    }
}

TEST(SelectionCommands, PanelSettingsGoToEverySelectedObjectOfTheCurrentKindAsOneStep) {
    Scene s;
    const QPoint at = s.c->scrollPosition() + QPoint(60, 60);
    const int f1 = s.putAt(Figure, at.x(), at.y(), 40, 30), f2 = s.putAt(Figure, at.x() + 60, at.y(), 40, 30);
    const int t1 = s.putAt(Text, at.x(), at.y() + 60, 80, 20), t2 = s.putAt(Text, at.x() + 100, at.y() + 60, 80, 20);
    const int unselected = s.putAt(Figure, at.x() + 200, at.y(), 40, 30);
    s.obj(f1).LineWidthOrTransColor = 2;
    s.obj(f2).LineWidthOrTransColor = 3;
    // Shadow colours share their field with the figures' fill mode.
    s.obj(t1).FillModeOrShadowColor = s.obj(t2).FillModeOrShadowColor = 0x123456;
    PropertyPanel& p = s.panel();
    struct Case {
        const char* name;
        const char* step;
        std::vector<int> selection;
        std::function<void()> act;
        std::function<bool(const Tobs&)> changed;
    };
    const std::vector<Case> cases = {
        {"Ellipse", "Form", {f1, f2, t1}, [&] { QTest::mouseClick(p.RadioButtons[shEllipse], Qt::LeftButton, {}, QPoint(6, 8)); },
         [](const Tobs& o) { return o.Shape == shEllipse; }},
        {"Nur Umrandung", "Füllart", {f1, f2, t1}, [&] { QTest::mouseClick(p.BorderCheck, Qt::LeftButton, {}, QPoint(6, 8)); },
         [](const Tobs& o) { return o.FillModeOrShadowColor == fmBorder; }},
        {"Linienstärke", "Linienstärke",
         {f1, f2, t1},
         [&] {
             p.LinieEd->lineEdit()->selectAll();
             QTest::keyClicks(p.LinieEd->lineEdit(), QStringLiteral("7"));
         },
         [](const Tobs& o) { return o.LineWidthOrTransColor == 7; }},
        {"Rechtsbündig", "Ausrichtung", {t1, t2, f1}, [&] { QTest::mouseClick(p.RightAlign, Qt::LeftButton, {}, QPoint(6, 8)); },
         [](const Tobs& o) { return o.Alignment == 2; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        s.select(k.selection);
        // Showing the current object's values wrote nothing into the others.
        EXPECT_EQ(s.obj(f2).LineWidthOrTransColor, 3);
        const QByteArray before = s.file();
        const int kind = s.obj(k.selection.front()).Kind;
        const std::map<int, Tobs> was = {{f1, s.obj(f1)}, {f2, s.obj(f2)}, {t1, s.obj(t1)}, {t2, s.obj(t2)},
                                         {unselected, s.obj(unselected)}};
        k.act();
        EXPECT_EQ(s.menu().Rckgngig1->text(), QStringLiteral("&Rückgängig: ") + QString::fromUtf8(k.step));
        for (const auto& [slot, old] : was) {
            SCOPED_TRACE(slot);
            const bool selected = std::find(k.selection.begin(), k.selection.end(), slot) != k.selection.end();
            if (selected && old.Kind == kind) EXPECT_TRUE(k.changed(s.obj(slot)));
            else EXPECT_TRUE(sameSlotState(s.obj(slot), old));
        }
        s.undo();
        EXPECT_EQ(s.file(), before);
    }
}
