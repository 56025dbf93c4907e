// Files that are not box files or are damaged: refused with a message, the
// open document untouched.
#include "BoxTestSupport.h"

#include "model/BoxFile.h"
#include "model/BoxFileFormat.h"
#include "model/BoxFileReader.h"

#include <QtEndian>

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstring>

using namespace boxtest;

namespace {

constexpr int kLayout = 33;
constexpr int kExtentW = 33 + 112;
constexpr int kExtentH = kExtentW + 4;
constexpr int kZoom = kExtentW + 13;     // after the empty background file
constexpr int kDivisor = kZoom + 8;
constexpr int kFirstRecord = kDivisor + 8;

void putI32(QByteArray& b, int at, std::int32_t v) { qToLittleEndian(v, b.data() + at); }
void putF64(QByteArray& b, int at, double v) { qToLittleEndian(v, b.data() + at); }

class BoxFileDamage : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingPrompter prompter;
    BoxDocument open;      // the document that must survive
    QByteArray before;

    void SetUp() override {
        makeNewDocument(open);
        placeText(open, 3, QStringLiteral("bleibt"));
        open.CurrentObject = 3;
        open.FileName = QStringLiteral("/home/x/alt.box");
        open.Objects[3].Picture = newdib(4, 4, 24);
        before = snapshot(open);
    }

    // A valid file with one figure in slot 2 (record at kFirstRecord).
    static QByteArray goodFile() {
        BoxDocument doc;
        makeNewDocument(doc);
        placeFigure(doc, 2);
        return serializeBoxDocument(doc);
    }

    // Opens bytes as a file; expects refusal with the given caption.
    void expectRefused(const QByteArray& bytes, const QString& caption, const char* what) {
        const QString file = dir.filePath(QStringLiteral("kaputt.box"));
        ASSERT_TRUE(writeAll(file, bytes));
        prompter.messages.clear();
        EXPECT_FALSE(OpenItNow(open, file, prompter)) << what;
        ASSERT_EQ(prompter.messages.size(), 1u) << what;
        EXPECT_EQ(prompter.messages[0].caption, caption) << what;
        EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
        EXPECT_EQ(snapshot(open), before) << what;
    }

    void expectDamaged(const QByteArray& bytes, const char* what) {
        expectRefused(bytes, QStringLiteral("Fehler: Datei ist beschädigt"), what);
        if (!prompter.messages.empty())
            EXPECT_TRUE(prompter.messages[0].text.startsWith(
                QStringLiteral("Die Datei ist beschädigt und konnte nicht gelesen werden!")));
    }
};

}  // namespace

TEST_F(BoxFileDamage, EveryIdentifierByteCounts) {
    const QByteArray good = goodFile();
    for (int i = 0; i < boxfile::kIdentifierSize; ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x20);
        if (i == 32) bad[i] = 'x';   // the zero byte
        expectRefused(bad, QStringLiteral("Dateikennung falsch"), "identifier");
    }
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Es handelt sich nicht um eine Faltarillon im ORB-LUX Faltarillon-Designer 1.0-Format!"));
    expectRefused(QByteArray("ORB-LUX"), QStringLiteral("Dateikennung falsch"), "short file");
    expectRefused(QByteArray(), QStringLiteral("Dateikennung falsch"), "empty file");
}

TEST_F(BoxFileDamage, FileEndingEarlyAnywhere) {
    const QByteArray good = goodFile();
    // Every cut after the identifier: inside the layout, the header, the
    // record, its strings, and just before the end marker.
    for (int cut = boxfile::kIdentifierSize; cut < good.size(); ++cut) {
        const QByteArray bytes = good.left(cut);
        BoxDocument fresh;
        const BoxParseResult r = parseBoxDocument(bytes, fresh);
        EXPECT_FALSE(r.ok()) << cut;
        EXPECT_LE(r.offset, cut);
    }
    expectDamaged(good.left(good.size() - 4), "no end marker");
    expectDamaged(good.left(kFirstRecord + 30), "inside a record");
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("endet vorzeitig")));
}

TEST_F(BoxFileDamage, StringRunningToTheEnd) {
    QByteArray bytes = goodFile();
    // Cut the file inside the font name, so its zero byte never comes.
    const int font = bytes.indexOf("Times New Roman");
    expectDamaged(bytes.left(font + 5), "font name");
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Zeichenkette")));
    // A background path with no zero byte at all.
    QByteArray bg = goodFile().left(kExtentW + 12);
    bg += QByteArray(5000, 'a');
    expectDamaged(bg, "background file");
}

TEST_F(BoxFileDamage, SlotNumberBelowOne) {
    for (std::int32_t slot : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
        QByteArray bytes = goodFile();
        putI32(bytes, kFirstRecord, slot);
        expectDamaged(bytes, "slot");
        EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Objektnummer %1").arg(slot)));
    }
}

TEST_F(BoxFileDamage, UnknownKind) {
    for (std::int32_t kind : {0, 4, -1, 1000}) {
        QByteArray bytes = goodFile();
        putI32(bytes, kFirstRecord + 21, kind);
        expectDamaged(bytes, "kind");
        EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Objektart %1 in Objekt 2").arg(kind)));
    }
}

TEST_F(BoxFileDamage, ZoomAndDivisorMustBePositiveFiniteNumbers) {
    const double bad[] = {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), -0.0, 1e-300, 1e300};
    for (double v : bad) {
        QByteArray zoom = goodFile();
        putF64(zoom, kZoom, v);
        expectDamaged(zoom, "zoom");
        QByteArray divisor = goodFile();
        putF64(divisor, kDivisor, v);
        expectDamaged(divisor, "divisor");
    }
}

TEST_F(BoxFileDamage, NegativeOrAbsurdExtents) {
    for (std::int32_t v : {-1, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        QByteArray w = goodFile();
        putI32(w, kExtentW, v);
        expectDamaged(w, "width");
        QByteArray h = goodFile();
        putI32(h, kExtentH, v);
        expectDamaged(h, "height");
    }
    // A sane extent with a divisor that blows the editing area up.
    QByteArray tiny = goodFile();
    putF64(tiny, kDivisor, 0.01);
    expectDamaged(tiny, "surface");
}

TEST_F(BoxFileDamage, ColumnsOrRowsBelowOne) {
    for (int field : {48, 52}) {
        for (std::int32_t v : {0, -3}) {
            QByteArray bytes = goodFile();
            putI32(bytes, kLayout + field, v);
            expectDamaged(bytes, "grid");
        }
    }
}

TEST_F(BoxFileDamage, LayoutLengthsThatAreNoLengths) {
    for (int field : {0, 8, 16, 24, 32, 40}) {
        QByteArray bytes = goodFile();
        putF64(bytes, kLayout + field, std::numeric_limits<double>::quiet_NaN());
        expectDamaged(bytes, "layout NaN");
    }
    QByteArray zeroItem = goodFile();
    putF64(zeroItem, kLayout + 32, 0.0);
    expectDamaged(zeroItem, "item width 0");
}

TEST_F(BoxFileDamage, OddButHarmlessValuesAreAccepted) {
    // What the editor itself can produce or simply ignores is read as it is.
    QByteArray bytes = goodFile();
    putI32(bytes, kFirstRecord + 4, -500);               // Left
    putI32(bytes, kFirstRecord + 61, 7);                 // Rotation
    putI32(bytes, kExtentW + 8, 17);                     // background mode
    putI32(bytes, bytes.size() - 4, 123456);             // any end marker above 10000
    bytes += QByteArray("trailing");
    const QString file = dir.filePath(QStringLiteral("odd.box"));
    ASSERT_TRUE(writeAll(file, bytes));
    ASSERT_TRUE(OpenItNow(open, file, prompter));
    EXPECT_EQ(open.Objects[2].Left, -500);
    EXPECT_EQ(open.Objects[2].Rotation, 7);
}

TEST_F(BoxFileDamage, FileThatCannotBeOpened) {
    EXPECT_FALSE(OpenItNow(open, dir.filePath(QStringLiteral("gibtsnicht.box")), prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Beim Öffnen der Datei ist ein Fehler aufgetreten!"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"));
    EXPECT_FALSE(OpenItNow(open, dir.path(), prompter));   // a folder
    EXPECT_EQ(snapshot(open), before);
}

TEST_F(BoxFileDamage, FifoFailsAtOnceInsteadOfBlocking) {
    const QString fifo = dir.filePath(QStringLiteral("rohr.box"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(OpenItNow(open, fifo, prompter));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"));
    EXPECT_EQ(snapshot(open), before);
}

TEST_F(BoxFileDamage, PictureNamedByAFifoCountsAsMissing) {
    const QString fifo = dir.filePath(QStringLiteral("bild.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 1);
    doc.Objects[1].Kind = Image;
    doc.Objects[1].Content = fifo;
    const QString file = dir.filePath(QStringLiteral("mitfifo.box"));
    ASSERT_TRUE(Saveit(doc, file, prompter));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(OpenItNow(open, file, prompter));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Konnte Bild (") + fifo + QStringLiteral(") nicht Laden."));
    EXPECT_TRUE(open.Objects[1].Picture.isEmpty());
}
