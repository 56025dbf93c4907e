// Cut, copy and paste within one program (the offscreen clipboard is the
// process's own): the picture shared with the original, a record from
// another program loading its picture, broken records, foreign text.

#include "TestCanvas.h"
#include "base/Units.h"
#include "WriteFaults.h"

#include "edit/ClipboardCommands.h"
#include "model/BoxFileWriter.h"
#include "model/ObjectRecord.h"
#include "render/Mapping.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ClipboardTest : public ::testing::Test {
protected:
    TestCanvas c;
    ClipboardCommands& clip() { return c.editor.clipboard; }
    void SetUp() override {
        c.show();
        QGuiApplication::clipboard()->clear();
    }
    int imageAt(int slot, const QString& path) {
        Tobs& o = c.obj(c.place(slot, Image, 100, 100, 40, 20));
        o.Content = path;
        QImage pic(8, 4, QImage::Format_RGB32);
        pic.fill(Qt::green);
        pic.setPixel(0, 3, qRgb(0, 0, 255));
        o.Picture = DibHandle(pic, 24);
        return slot;
    }
};

}  // namespace

TEST_F(ClipboardTest, PasteWithinTheProgramSharesThePictureAndStepsTenPixelsEachTime) {
    const int slot = imageAt(2, QStringLiteral("/nirgends/bild.png"));   // no file to read
    c.doc.CurrentObject = slot;
    EXPECT_FALSE(clip().canPaste());
    clip().copy();
    ASSERT_TRUE(clip().canPaste());
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), QSize(40, 20));   // no pen: no room around
    // Deleting the original does not take the picture from the clipboard.
    c.prompts.answers = {PromptAnswer::Yes};
    c.editor.commands.deleteObject();
    clip().paste();
    clip().paste();
    EXPECT_TRUE(c.prompts.messages.size() == 1u);   // only the delete question
    const Mapping map = Mapping::screenFor(c.doc);
    ASSERT_EQ(c.obj(1).Kind, Image);
    ASSERT_EQ(c.obj(2).Kind, Image);
    EXPECT_EQ(c.doc.CurrentObject, 2);
    EXPECT_EQ(map.DevLeft(c.obj(1)), 110);
    EXPECT_EQ(map.DevTop(c.obj(2)), 120);
    EXPECT_FALSE(c.obj(1).Picture.isEmpty());
    EXPECT_EQ(c.obj(1).Picture.image().cacheKey(), c.obj(2).Picture.image().cacheKey());
    EXPECT_EQ(c.editor.commands.history().undoName(), QStringLiteral("Einfügen"));
}

TEST_F(ClipboardTest, RecordFromAnotherProgramLoadsAndTurnsItsPictureOrSaysSo) {
    QTemporaryDir dir;
    QImage file(8, 4, QImage::Format_RGB32);
    file.fill(Qt::green);
    file.setPixel(0, 3, qRgb(0, 0, 255));
    const QString path = dir.filePath(QStringLiteral("foto.png"));
    ASSERT_TRUE(file.save(path, "PNG"));
    Tobs o;
    o.Kind = Image;
    o.Content = path;
    o.Rotation = 1;
    o.Width = 4 * 416;
    o.Height = 8 * 416;
    auto* data = new QMimeData;
    data->setData(ClipboardCommands::objectMimeType(), objectRecordBytes(c.doc, o));
    data->setData(ClipboardCommands::sourceMimeType(), "4711:ein-anderes-programm");
    QGuiApplication::clipboard()->setMimeData(data);
    clip().paste();
    ASSERT_EQ(c.obj(1).Kind, Image);
    const QImage pic = c.obj(1).Picture.image();
    ASSERT_EQ(pic.size(), QSize(4, 8));           // turned once clockwise
    EXPECT_EQ(pic.pixel(0, 0), qRgb(0, 0, 255));  // the lower-left corner came up
    EXPECT_TRUE(c.prompts.messages.empty());

    // A picture that is nowhere: the object comes, the message of Open too.
    o.Content = QStringLiteral("/weg/foto.png");
    data = new QMimeData;
    data->setData(ClipboardCommands::objectMimeType(), objectRecordBytes(c.doc, o));
    QGuiApplication::clipboard()->setMimeData(data);
    clip().paste();
    ASSERT_EQ(c.obj(2).Kind, Image);
    EXPECT_TRUE(c.obj(2).Picture.isEmpty());
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_EQ(c.prompts.messages[0].text, QStringLiteral("Konnte Bild (/weg/foto.png) nicht Laden."));
}

TEST_F(ClipboardTest, BrokenRecordIsReportedAndChangesNothing) {
    c.place(1, Figure, 10, 10, 10, 10);
    const QByteArray before = serializeBoxDocument(c.doc);
    auto* data = new QMimeData;
    data->setData(ClipboardCommands::objectMimeType(), QByteArray("ORB-LUX Faltarillon-Designer 1.0\0kaputt", 39));
    QGuiApplication::clipboard()->setMimeData(data);
    clip().paste();
    EXPECT_EQ(serializeBoxDocument(c.doc), before);
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_FALSE(c.editor.commands.history().canUndo());
}

TEST_F(ClipboardTest, ForeignTextBecomesATextInTheDialogFontWithSingleCarriageReturns) {
    c.scroll = QPoint(200, 100);
    QGuiApplication::clipboard()->setText(QStringLiteral("eins\r\nzwei\ndrei"));
    clip().paste();
    const Tobs& t = c.obj(1);
    ASSERT_EQ(t.Kind, Text);
    EXPECT_EQ(t.Content, QStringLiteral("eins\rzwei\rdrei"));
    EXPECT_EQ(t.FontName, c.editor.commands.dialogFont().Name);
    EXPECT_EQ(t.FontSize, c.editor.commands.dialogFont().Size);
    EXPECT_EQ(t.KeepAspect, 1);
    // Centred in the view: the scroll position plus half the scroll box.
    const Mapping map = Mapping::screenFor(c.doc);
    EXPECT_NEAR(map.DevLeft(t) + map.DevWidth(t) / 2, 200 + 300, 1);
    EXPECT_NEAR(map.DevTop(t) + map.DevHeight(t) / 2, 100 + 200, 1);
    c.editor.commands.undo();
    EXPECT_TRUE(c.obj(1).isFree());
}

// A long foreign text is cut before it is laid out: a text of megabytes in
// one line froze the editor for minutes. The cut keeps a surrogate pair whole.
TEST_F(ClipboardTest, ALongForeignTextIsCutTo65536CharactersAndTheStatusBarSaysSo) {
    const QString limitLong(65536, QChar('x'));
    QGuiApplication::clipboard()->setText(limitLong);
    clip().paste();
    EXPECT_EQ(c.obj(1).Content, limitLong);
    EXPECT_TRUE(c.statuses.empty());

    QString tooLong = QString(65535, QChar('a')) + QString::fromUtf8("\xF0\x9F\x93\xA6") + QString(1 << 20, QChar('b'));
    QGuiApplication::clipboard()->setText(tooLong);
    clip().paste();
    const Tobs& t = c.obj(2);
    ASSERT_EQ(t.Kind, Text);
    EXPECT_EQ(t.Content, QString(65535, QChar('a')));
    ASSERT_EQ(c.statuses.size(), 1u);
    EXPECT_EQ(c.statuses[0], QStringLiteral("Der eingefügte Text wurde auf 65536 Zeichen gekürzt."));
    EXPECT_TRUE(c.prompts.messages.empty());

    // Line ends count as the other program wrote them.
    QGuiApplication::clipboard()->setText(QString(70000, QChar('\n')));
    clip().paste();
    EXPECT_EQ(c.obj(3).Content, QString(65536, QChar('\r')));
    EXPECT_EQ(c.statuses.size(), 2u);
}

// A picture from another program gets a file first; where none can be
// written the paste stops with the reason, and no object and no file come.
TEST_F(ClipboardTest, APastedPictureThatCannotBeSavedAddsNothing) {
    RUN_IN_CHILD_PROCESS();
    QTemporaryDir dir;
    c.doc.FileName = dir.filePath(QStringLiteral("box.box"));
    QImage pic(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) pic.setPixel(x, y, qRgb(x, y, x ^ y));
    QGuiApplication::clipboard()->setImage(pic);
    const QByteArray before = serializeBoxDocument(c.doc);
    {
        const writefaults::FileSizeLimit limit(1000);
        clip().paste();
    }
    EXPECT_EQ(serializeBoxDocument(c.doc), before);
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_EQ(c.prompts.messages[0].caption, QStringLiteral("Fehler: Bild nicht gespeichert"));
    EXPECT_EQ(c.prompts.messages[0].path, dir.filePath(QStringLiteral("Zwischenablage-1.png")));
    EXPECT_EQ(c.prompts.messages[0].reason, QStringLiteral("Datei zu groß"));
    EXPECT_TRUE(writefaults::entriesOf(dir.path()).isEmpty());
    // Where it can be written, it comes.
    clip().paste();
    EXPECT_EQ(c.obj(1).Kind, Image);
    EXPECT_EQ(writefaults::entriesOf(dir.path()), QStringList{QStringLiteral("Zwischenablage-1.png")});
}

// A drawing offered beside pixels is pasted as the drawing: screened, kept as
// a file beside the box, placed at its own size. A hostile one is refused
// with the reason, and neither an object nor a file comes.
TEST_F(ClipboardTest, APastedDrawingIsScreenedSavedBesideTheBoxAndKeptSharp) {
    QTemporaryDir dir;
    c.doc.FileName = dir.filePath(QStringLiteral("box.box"));
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY a \"aaaaaaaaaa\">";
    for (int i = 1; i < 8; ++i)
        laughs += "<!ENTITY a" + QByteArray::number(i) + " \"" +
                  QByteArray("&a" + (i > 1 ? QByteArray::number(i - 1) : QByteArray()) + ";").repeated(10) + "\">";
    laughs += "]><svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 1 1\"><text>&a7;</text></svg>";
    auto* hostile = new QMimeData;
    hostile->setData(QStringLiteral("image/svg+xml"), laughs);
    QGuiApplication::clipboard()->setMimeData(hostile);
    const QByteArray before = serializeBoxDocument(c.doc);
    EXPECT_TRUE(clip().canPaste());
    clip().paste();
    EXPECT_EQ(serializeBoxDocument(c.doc), before);
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_EQ(c.prompts.messages[0].caption, QStringLiteral("Fehler: Zeichnung nicht eingefügt"));
    EXPECT_TRUE(c.prompts.messages[0].text.contains(QStringLiteral("Entitäten")));
    EXPECT_TRUE(writefaults::entriesOf(dir.path()).isEmpty());

    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"),
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                  "width=\"40mm\" height=\"20mm\" viewBox=\"0 0 4 2\"><rect width=\"4\" height=\"2\" fill=\"blue\"/>"
                  "<image width=\"4\" height=\"2\" xlink:href=\"/etc/passwd\"/></svg>");
    QImage pixels(10, 10, QImage::Format_RGB32);
    pixels.fill(Qt::green);
    data->setImageData(pixels);
    QGuiApplication::clipboard()->setMimeData(data);
    clip().paste();
    const Tobs& o = c.obj(1);
    ASSERT_EQ(o.Kind, Image);
    EXPECT_TRUE(o.Picture.isVector());
    EXPECT_EQ(o.Width, mmToUnits(40));
    EXPECT_EQ(o.Height, mmToUnits(20));
    EXPECT_EQ(o.Content, dir.filePath(QStringLiteral("Zwischenablage-1.svg")));
    QFile saved(o.Content);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray kept = saved.readAll();
    EXPECT_TRUE(kept.contains("fill=\"blue\""));
    EXPECT_FALSE(kept.contains("passwd"));
}

// Bytes offered as pixels are read by our own readers: a drawing among them
// is screened like any other, so the picture beside it that it names never
// shows.
TEST_F(ClipboardTest, ADrawingOfferedAsPixelsIsPastedScreened) {
    QTemporaryDir dir;
    c.doc.FileName = dir.filePath(QStringLiteral("box.box"));
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("nachbar.png"))));
    const QByteArray drawing =
        "<!-- Logo -->\n<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "width=\"40mm\" height=\"20mm\" viewBox=\"0 0 4 2\"><rect width=\"4\" height=\"2\" fill=\"blue\"/>"
        "<image width=\"4\" height=\"2\" xlink:href=\"" + dir.filePath(QStringLiteral("nachbar.png")).toUtf8() + "\"/></svg>";
    for (const char* type : {"image/png", "application/x-qt-image"}) {
        SCOPED_TRACE(type);
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(type), drawing);
        QGuiApplication::clipboard()->setMimeData(data);
        EXPECT_TRUE(clip().canPaste());
        c.doc.Objects.clearAll();
        clip().paste();
        const Tobs& o = c.obj(1);
        ASSERT_EQ(o.Kind, Image);
        EXPECT_TRUE(o.Picture.isVector());
        const QImage shown = o.Picture.image();
        EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() / 2) & 0xFFFFFF, 0x0000FFu);
    }
}
