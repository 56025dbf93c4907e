// From random documents, random sequences of commands through the real
// command paths (mouse on the canvas, menus' commands, scripted dialogs,
// the clipboard); undoing everything must give back the saved file byte for
// byte, and redoing everything the file after the sequence.

#include "TestCanvas.h"

#include "edit/ClipboardCommands.h"
#include "model/BoxFileWriter.h"
#include "model/TransparentValue.h"
#include "render/Mapping.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <random>

namespace {

class Run {
public:
    Run(unsigned seed, const QString& folder) : m_rng(seed), m_folder(folder) {}

    int any(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool chance(int percent) { return any(1, 100) <= percent; }

    DibHandle picture() {
        const int w = any(1, 12), h = any(1, 12);
        if (chance(50)) {
            QImage img(w, h, QImage::Format_RGB32);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(any(0, 1) * 255, any(0, 255), 0));
            return DibHandle(img, 24);
        }
        QVector<QRgb> table;
        for (int i = 0; i < 16; ++i) table << qRgb(any(0, 255), any(0, 3) * 85, any(0, 1) * 255);
        QImage img(w, h, QImage::Format_Indexed8);
        img.setColorTable(table);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) img.setPixel(x, y, any(0, 15));
        return DibHandle(img, 8);
    }

    QString someText() {
        static const char* const words[] = {"Falt", "Schachtel", "Größe", "Boden", "Deckel", "ÄÖÜß", "x"};
        QString t;
        const int n = any(0, 5);
        for (int i = 0; i < n; ++i) {
            if (i) t += any(0, 3) == 0 ? QChar(13) : QChar(' ');
            t += QString::fromUtf8(words[any(0, 6)]);
        }
        return t;
    }

    void randomObject(Tobs& o, int kind, const QString& imageFile) {
        o.resetToDefaults();
        o.Kind = kind;
        o.Left = any(0, 1500) * 416;
        o.Top = any(0, 1100) * 416;
        o.Width = any(0, 200) * 416 + any(0, 415);
        o.Height = any(0, 200) * 416 + any(0, 415);
        o.KeepAspect = static_cast<std::uint8_t>(any(0, 1));
        o.Color = any(0, 0xFFFFFF);
        o.FontName = chance(70) ? QStringLiteral("Times New Roman") : QStringLiteral("Arial");
        o.FontHeight = -any(8, 30);
        o.FontSize = any(6, 30);
        o.FontStyle = static_cast<std::uint8_t>(any(0, 15));
        switch (kind) {
        case Figure:
            o.Shape = any(0, 9);
            o.FillModeOrShadowColor = any(0, 2);
            o.BorderOrOutlineColor = any(0, 0xFFFFFF);
            o.LineWidthOrTransColor = any(1, 20);
            break;
        case Text:
            o.Shape = shRectangle;
            o.Content = someText();
            o.Alignment = any(0, 2);
            o.Rotation = any(0, 3);
            o.Shadow = static_cast<std::uint8_t>(any(0, 1));
            o.Outline = static_cast<std::uint8_t>(any(0, 1));
            o.ShadowDx = any(-9, 9);
            o.ShadowDy = any(-9, 9);
            break;
        default:
            o.Shape = shRectangle;
            o.Content = imageFile;
            o.Picture = picture();
            o.Transparent = static_cast<std::uint8_t>(any(0, 1));
            o.TransAuto = static_cast<std::uint8_t>(any(0, 1));
            o.LineWidthOrTransColor = any(0, 0xFFFFFF);
            settleTransparentValue(o);
            break;
        }
    }

    std::mt19937 m_rng;
    QString m_folder;
};

QByteArray saved(const BoxDocument& doc) { return serializeBoxDocument(doc); }

int randomObjectSlot(TestCanvas& c, Run& r) {
    std::vector<int> used;
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!c.doc.Objects[s].isFree()) used.push_back(s);
    if (used.empty()) return 0;
    return used[static_cast<size_t>(r.any(0, static_cast<int>(used.size()) - 1))];
}

// One command of the user's, chosen at random.
void randomCommand(TestCanvas& c, Run& r, const QString& imageFile) {
    ObjectCommands& cmd = c.editor.commands;
    ClipboardCommands& clip = c.editor.clipboard;
    const int target = randomObjectSlot(c, r);
    if (target) c.doc.CurrentObject = target;
    const Mapping map = Mapping::screenFor(c.doc);
    switch (r.any(0, 23)) {
    case 0:
    case 1: {
        c.tool = r.chance(50) ? EditorTool::Figure : EditorTool::Text;
        QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(r.any(0, 590), r.any(0, 390)));
        break;
    }
    case 2: {
        c.tool = EditorTool::Image;
        c.scripted.image = [&](QString& chosen) {
            chosen = imageFile;
            return true;
        };
        QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(r.any(0, 590), r.any(0, 390)));
        break;
    }
    case 3:
    case 4:
    case 5: {
        if (!target) break;
        c.tool = EditorTool::Pointer;
        const Tobs& o = c.obj(target);
        const QPoint grab = r.chance(60)
                                ? QPoint(map.DevLeft(o) + map.DevWidth(o) / 2, map.DevTop(o) + map.DevHeight(o) / 2)
                                : QPoint(map.DevLeft(o) + map.DevWidth(o), map.DevTop(o) + map.DevHeight(o));
        // The canvas widget stands for the scroll box's viewport at scroll 0.
        QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, grab);
        const int moves = r.any(1, 6);
        QPoint p = grab;
        for (int i = 0; i < moves; ++i) {
            p += QPoint(r.any(-30, 30), r.any(-30, 30));
            QTest::mouseMove(&c, p);
        }
        QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, p);
        break;
    }
    case 6:
        c.prompts.answers = {r.chance(80) ? PromptAnswer::Yes : PromptAnswer::No};
        c.controller().keyDown(Qt::Key_Delete);
        break;
    case 7: cmd.bringToFront(); break;
    case 8: cmd.sendToBack(); break;
    case 9: r.chance(50) ? cmd.turnLeft() : cmd.turnRight(); break;
    case 10: cmd.setShape(r.any(0, 9)); break;
    case 11: cmd.setFillMode(r.any(0, 2)); break;
    case 12: {
        const int run = r.any(1, 4);
        for (int i = 0; i < run; ++i) cmd.setLineWidth(r.any(1, 20));
        break;
    }
    case 13: r.chance(50) ? cmd.toggleKeepAspect() : cmd.setKeepAspect(r.chance(50)); break;
    case 14: cmd.setAlignment(r.any(0, 2)); break;
    case 15: {
        const int colour = r.any(0, 0xFFFFFF);
        const bool ok = r.chance(80);
        c.scripted.color = [colour, ok](std::int32_t& col) {
            col = colour;
            return ok;
        };
        r.chance(50) ? cmd.chooseColor() : cmd.chooseBorderColor();
        break;
    }
    case 16: {
        const int size = r.any(6, 40);
        const std::uint8_t style = static_cast<std::uint8_t>(r.any(0, 15));
        c.scripted.font = [size, style](DialogFont& f) {
            f.Name = QStringLiteral("Arial");
            f.setSize(size, 96);
            f.Style = style;
            return true;
        };
        cmd.chooseFont();
        break;
    }
    case 17: {
        TextEffectValues wanted{r.chance(50), r.chance(50), r.any(0, 0xFFFFFF), r.any(0, 0xFFFFFF), r.any(-20, 20),
                                r.any(-20, 20)};
        c.scripted.effects = [wanted](TextEffectValues& v) {
            v = wanted;
            return true;
        };
        cmd.editTextEffects();
        break;
    }
    case 18: {
        TransparencyValues wanted{r.chance(60), r.chance(50), r.any(0, 0xFFFFFF)};
        c.scripted.transparency = [wanted](TransparencyValues& v) {
            v = wanted;
            return true;
        };
        cmd.editTransparency();
        break;
    }
    case 19: {
        const QString text = r.someText();
        c.scripted.text = [text](QStringList& lines) {
            lines = text.split(QChar(13));
            return true;
        };
        cmd.EditTextNow();
        break;
    }
    case 20: {
        const int mode = r.any(-1, 3);
        const DibHandle pic = r.picture();
        c.scripted.background = [&c, mode, pic] {
            c.doc.BackgroundPicture = pic;
            c.doc.BackgroundFile = QStringLiteral("/bilder/hintergrund.png");
            c.doc.BackgroundMode = mode;
        };
        cmd.editBackground();
        break;
    }
    case 21:
        if (r.chance(50)) {
            clip.copy();
            clip.paste();
        } else {
            clip.cut();
            if (r.chance(50)) clip.paste();
        }
        break;
    case 22:
        if (r.chance(50))
            QGuiApplication::clipboard()->setText(r.someText().replace(QChar(13), QStringLiteral("\r\n")) + "x");
        else
            QGuiApplication::clipboard()->setImage(r.picture().image().convertToFormat(QImage::Format_RGB32));
        clip.paste();
        break;
    default:
        // Steps taken back in between: the history still leads from the
        // start to the end.
        r.chance(50) ? cmd.undo() : cmd.redo();
        break;
    }
}

void runSeed(unsigned seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString imageFile = dir.filePath(QStringLiteral("bild.png"));
    QImage file(6, 4, QImage::Format_RGB32);
    file.fill(qRgb(200, 30, 90));
    ASSERT_TRUE(file.save(imageFile, "PNG"));

    TestCanvas c;
    c.show();
    c.doc.FileName = dir.filePath(QStringLiteral("box.box"));   // pasted pictures go beside it
    Run r(seed, dir.path());
    const int objects = r.any(5, 40);
    for (int i = 0; i < objects; ++i) {
        const int slot = r.chance(5) ? ObjectTable::Capacity - r.any(0, 2) : r.any(1, 120);
        r.randomObject(c.doc.Objects[slot], r.any(1, 3), imageFile);
    }
    if (r.chance(50)) {
        c.doc.BackgroundMode = r.any(0, 3);
        c.doc.BackgroundFile = QStringLiteral("/alt.png");
        c.doc.BackgroundPicture = r.picture();
    }
    const QByteArray before = saved(c.doc);

    for (int i = 0; i < 200; ++i) randomCommand(c, r, imageFile);
    const QByteArray after = saved(c.doc);
    DocumentHistory& history = c.editor.commands.history();
    ASSERT_GT(history.count(), 0);

    std::uint64_t revision = c.doc.Revision;
    while (history.canUndo()) {
        c.editor.commands.undo();
        ASSERT_GT(c.doc.Revision, revision);
        revision = c.doc.Revision;
    }
    EXPECT_EQ(saved(c.doc), before);
    while (history.canRedo()) c.editor.commands.redo();
    EXPECT_EQ(saved(c.doc), after);
    EXPECT_GT(c.doc.Revision, revision);
}

}  // namespace

TEST(UndoProperty, UndoAllAndRedoAllGiveTheSavedFilesBack) {
    for (unsigned seed : {1u, 2u, 3u, 17u, 2024u}) runSeed(seed);
}
