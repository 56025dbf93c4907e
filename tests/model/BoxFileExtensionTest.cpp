// The extension after the end marker: the cuboid's form and the chunks kept
// for a newer version, written so that a reader of the plain format still
// reads the same objects, and refused with the document unchanged when it
// comes from a newer version or is damaged.
#include "BoxTestSupport.h"

#include "model/BoxFile.h"
#include "model/BoxFileExtension.h"
#include "model/BoxFileReader.h"

#include <QDir>
#include <QtEndian>

#include <cmath>
#include <functional>
#include <limits>

using namespace boxtest;

namespace {

QByteArray u32(std::uint32_t v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray f64(double v) {
    QByteArray b(8, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char* tag, const QByteArray& data) { return QByteArray(tag, 4) + u32(data.size()) + data; }

QByteArray formChunk(std::int32_t kind, double L, double B, double H) {
    return chunk("FORM", u32(static_cast<std::uint32_t>(kind)) + f64(L) + f64(B) + f64(H));
}

const QByteArray kEnd = chunk("END ", QByteArray());

// The plain file of a design with two objects (what the end marker closes).
QByteArray plainFile() {
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 2);
    placeText(doc, 7, QStringLiteral("Tee"));
    return serializeBoxDocument(doc);
}

// A reader that knows only the plain format: identifier, layout, header,
// records up to the end marker. It returns the seenSlots it saw and where it
// stopped.
struct PlainRead {
    std::vector<std::int32_t> seenSlots;
    qsizetype stoppedAt = -1;
};
PlainRead readPlain(const QByteArray& d) {
    PlainRead r;
    qsizetype p = 33 + 112 + 4 + 4 + 4;
    auto i32 = [&] {
        const std::int32_t v = qFromLittleEndian<std::int32_t>(d.constData() + p);
        p += 4;
        return v;
    };
    auto zstr = [&] { p = d.indexOf('\0', p) + 1; };
    zstr();       // background file
    p += 16;      // zoom, divisor
    for (;;) {
        const std::int32_t slot = i32();
        if (slot > 10000) break;
        r.seenSlots.push_back(slot);
        p += 16 + 1 + 4 * 6 + 2 + 8 + 2 + 8;   // up to Content
        zstr();
        p += 8;
        zstr();   // font name
        p += 1 + 4 + 1;
    }
    r.stoppedAt = p;
    return r;
}

class BoxFileExtension : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingPrompter prompter;
    BoxDocument open;
    QByteArray before;

    void SetUp() override {
        makeNewDocument(open);
        open.Form = BoxForm::cuboid(33.3, 44.4, 55.5);
        placeText(open, 3, QStringLiteral("bleibt"));
        open.FileName = QStringLiteral("/home/x/alt.box");
        before = snapshot(open);
    }

    bool openBytes(const QByteArray& bytes, BoxDocument& doc) {
        const QString file = dir.filePath(QStringLiteral("f.box"));
        EXPECT_TRUE(writeAll(file, bytes));
        prompter.messages.clear();
        return OpenItNow(doc, file, prompter);
    }

    // Refused as newer or as damaged (with the byte offset), doc unchanged.
    void expectRefused(const QByteArray& bytes, bool newer, const std::string& what) {
        EXPECT_FALSE(openBytes(bytes, open)) << what;
        ASSERT_EQ(prompter.messages.size(), 1u) << what;
        if (newer) {
            EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Die Datei wurde mit einer neueren Version erstellt."))
                << what;
            EXPECT_EQ(prompter.messages[0].path, dir.filePath(QStringLiteral("f.box"))) << what;
            EXPECT_EQ(prompter.messages[0].reason, QStringLiteral("mit einer neueren Version erstellt")) << what;
        } else {
            EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler: Datei ist beschädigt")) << what;
            EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("(Byte "))) << what;
        }
        EXPECT_EQ(snapshot(open), before) << what;
    }
};

}  // namespace

TEST_F(BoxFileExtension, CubeStaysThePlainFileAndCuboidRoundTripsByteForByte) {
    BoxDocument fresh;
    makeNewDocument(fresh);
    EXPECT_EQ(serializeBoxDocument(fresh).size(), 178);

    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 2);
    const QByteArray plain = serializeBoxDocument(doc);
    doc.Form = BoxForm::cuboid(64, 21, 89);
    const QByteArray bytes = serializeBoxDocument(doc);
    EXPECT_EQ(bytes, plain + "FALTEXT1" + formChunk(1, 64, 21, 89) + kEnd);

    BoxDocument back;
    ASSERT_TRUE(openBytes(bytes, back));
    EXPECT_TRUE(back.Form.isCuboid());
    EXPECT_EQ(back.Form, BoxForm::cuboid(64, 21, 89));
    EXPECT_EQ(serializeBoxDocument(back), bytes);
    // Measures are stored on the 0,1 mm step.
    doc.Form = BoxForm::cuboid(64.04, 21.06, 88.95);
    ASSERT_TRUE(openBytes(serializeBoxDocument(doc), back));
    EXPECT_EQ(back.Form, BoxForm::cuboid(64.0, 21.1, 89.0));
}

TEST_F(BoxFileExtension, LowercaseChunksSurviveOpenAndSaveEvenOnACube) {
    const QByteArray kept1 = chunk("note", QByteArray("Hallo\0Welt", 10));
    const QByteArray kept2 = chunk("zz9!", QByteArray());
    const QByteArray cubeFile = plainFile() + "FALTEXT1" + kept1 + kept2 + kEnd;
    BoxDocument doc;
    ASSERT_TRUE(openBytes(cubeFile, doc));
    EXPECT_FALSE(doc.Form.isCuboid());
    ASSERT_EQ(doc.Chunks.size(), 2u);
    EXPECT_EQ(doc.Chunks[0].tag, QByteArray("note"));
    EXPECT_EQ(serializeBoxDocument(doc), cubeFile);
    // With a form, FORM comes first and the kept chunks follow in read order.
    const QByteArray cuboidFile = plainFile() + "FALTEXT1" + kept1 + formChunk(1, 70, 45, 110) + kept2 + kEnd;
    ASSERT_TRUE(openBytes(cuboidFile, doc));
    EXPECT_EQ(serializeBoxDocument(doc), plainFile() + "FALTEXT1" + formChunk(1, 70, 45, 110) + kept1 + kept2 + kEnd);
}

// A document used again after clearall (as the fuzz target and any batch
// reader do) reads a plain file as that file, not with the last one's form
// and chunks.
TEST_F(BoxFileExtension, ClearallForgetsTheFormAndTheKeptChunks) {
    BoxDocument reused;
    ASSERT_TRUE(parseBoxDocument(plainFile() + "FALTEXT1" + formChunk(1, 70, 45, 110) + chunk("note", "x") + kEnd,
                                 reused)
                    .ok());
    reused.clearall();
    EXPECT_FALSE(reused.Form.isCuboid());
    EXPECT_TRUE(reused.Chunks.empty());
    ASSERT_TRUE(parseBoxDocument(plainFile(), reused).ok());
    EXPECT_EQ(serializeBoxDocument(reused), plainFile());
}

TEST_F(BoxFileExtension, PlainReaderStopsAtTheEndMarkerAndSeesTheSameObjects) {
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 2);
    placeText(doc, 7, QStringLiteral("Tee"));
    doc.Form = BoxForm::cuboid(70, 45, 110);
    const QByteArray bytes = serializeBoxDocument(doc);
    const PlainRead r = readPlain(bytes);
    EXPECT_EQ(r.seenSlots, (std::vector<std::int32_t>{2, 7}));
    EXPECT_EQ(r.stoppedAt, plainFile().size());
    EXPECT_EQ(bytes.mid(r.stoppedAt, 7), QByteArray("FALTEXT"));
    // And the bytes after the end marker that are no extension are ignored.
    BoxDocument other;
    ASSERT_TRUE(openBytes(plainFile() + "Rest von frueher", other));
    EXPECT_FALSE(other.Form.isCuboid());
}

TEST_F(BoxFileExtension, NewerVersionsAreRefused) {
    const QByteArray p = plainFile();
    expectRefused(p + "FALTEXT1" + chunk("NEWS", "x") + kEnd, true, "uppercase chunk");
    expectRefused(p + "FALTEXT1" + formChunk(3, 64, 21, 89) + kEnd, true, "form 3");
    expectRefused(p + "FALTEXT2" + kEnd, true, "version 2");
    expectRefused(p + "FALTEXT9" + kEnd, true, "version 9");
    expectRefused(p + "FALTEXT1" + chunk("FORM", u32(1) + f64(64) + f64(21) + f64(89) + u32(0)) + kEnd, true,
                  "FORM longer than 28 bytes");
}

TEST_F(BoxFileExtension, EveryFaultIsDamage) {
    const QByteArray p = plainFile();
    const QByteArray form = formChunk(1, 64, 21, 89);
    const std::vector<std::pair<QByteArray, std::string>> faults = {
        {p + "FALTEXT1" + form + form + kEnd, "second FORM"},
        {p + "FALTEXT1" + formChunk(0, 64, 21, 89) + kEnd, "form 0"},
        {p + "FALTEXT1" + formChunk(-1, 64, 21, 89) + kEnd, "form -1"},
        {p + "FALTEXT1" + formChunk(1, std::numeric_limits<double>::quiet_NaN(), 21, 89) + kEnd, "NaN"},
        {p + "FALTEXT1" + formChunk(1, 64, std::numeric_limits<double>::infinity(), 89) + kEnd, "infinite"},
        {p + "FALTEXT1" + formChunk(1, 64, 21, 9.94) + kEnd, "9.94 mm"},
        {p + "FALTEXT1" + formChunk(1, 400.06, 21, 89) + kEnd, "400.06 mm"},
        {p + "FALTEXT1" + chunk("FORM", u32(1) + f64(64) + f64(21)) + kEnd, "FORM too short"},
        {p + "FALTEXT1" + form + chunk("END ", "x"), "END with a length"},
        {p + "FALTEXT1" + form + kEnd + "x", "bytes after END"},
        {p + "FALTEXT1" + form, "missing END"},
        {p + "FALTEXT1" + chunk("1abc", "x") + kEnd, "tag starting with a digit"},
        {p + "FALTEXT1" + QByteArray("note") + u32(1000) + "xy" + kEnd, "chunk longer than the file"},
        {p + "FALTEXT1" + QByteArray("FORM") + u32(1000) + form.mid(8) + kEnd, "FORM longer than the file"},
        {p + "FALTEXTx" + kEnd, "version not a digit"},
        {p + "FALTEXT0" + kEnd, "version 0"},
    };
    for (const auto& [bytes, what] : faults) expectRefused(bytes, false, what);
    // 9.96 rounds to 10.0 and is read.
    BoxDocument ok;
    ASSERT_TRUE(openBytes(p + "FALTEXT1" + formChunk(1, 9.96, 21, 89) + kEnd, ok));
    EXPECT_EQ(ok.Form.L, 10.0);
}

TEST_F(BoxFileExtension, TruncationAnywhereInTheExtensionIsRefused) {
    const QByteArray p = plainFile();
    const QByteArray full = p + "FALTEXT1" + formChunk(1, 64, 21, 89) + chunk("memo", "abc") + kEnd;
    for (qsizetype n = p.size() + 1; n < full.size(); ++n) {
        const QByteArray cut = full.left(n);
        BoxDocument doc;
        const BoxParseResult r = parseBoxDocument(cut, doc);
        EXPECT_FALSE(r.ok()) << n;
        EXPECT_LE(r.offset, n) << n;
        expectRefused(cut, false, "cut at " + std::to_string(n));
    }
}

TEST_F(BoxFileExtension, TheSleeveKeepsItsBoardAndOnlyItsOwnChunkLength) {
    const QByteArray p = plainFile();
    auto sleeve = [](double t, int extra = 0) {
        return chunk("FORM", u32(2) + f64(64) + f64(21) + f64(89) + f64(t) + QByteArray(extra, '\0'));
    };
    BoxDocument doc;
    ASSERT_TRUE(openBytes(p + "FALTEXT1" + sleeve(0.35) + kEnd, doc));
    EXPECT_EQ(doc.Form, BoxForm::ofStyle(BoxStyle::Huelse, 64, 21, 89, 0.35));
    // Written back byte for byte; the lock-lid cuboid keeps its 28 bytes.
    EXPECT_EQ(serializeBoxDocument(doc), p + "FALTEXT1" + sleeve(0.35) + kEnd);
    doc.Form = BoxForm::cuboid(64, 21, 89);
    EXPECT_EQ(serializeBoxDocument(doc), p + "FALTEXT1" + formChunk(1, 64, 21, 89) + kEnd);

    // Options of a newer version and unknown forms are newer; a thickness
    // off its steps or range, or a sleeve chunk cut to the lock-lid's
    // length, is damage.
    expectRefused(p + "FALTEXT1" + sleeve(0.3, 8) + kEnd, true, "sleeve with options");
    expectRefused(p + "FALTEXT1" + chunk("FORM", u32(1) + f64(64) + f64(21) + f64(89) + f64(0)) + kEnd, true,
                  "lock lid with options");
    expectRefused(p + "FALTEXT1" + sleeve(0.33) + kEnd, false, "thickness 0.33");
    expectRefused(p + "FALTEXT1" + sleeve(1.05) + kEnd, false, "thickness 1.05");
    expectRefused(p + "FALTEXT1" + sleeve(-0.05) + kEnd, false, "thickness -0.05");
    expectRefused(p + "FALTEXT1" + sleeve(std::numeric_limits<double>::quiet_NaN()) + kEnd, false, "thickness NaN");
    expectRefused(p + "FALTEXT1" + formChunk(2, 64, 21, 89) + kEnd, false, "sleeve without its board");
    EXPECT_EQ(snapshot(open), before);
}

// The kept chunks are bounded: the last chunk that fits is kept, the first
// beyond is refused at its own offset, whether by count or by bytes.
TEST_F(BoxFileExtension, KeptChunksBeyondTheLimitsAreDamageAtTheirOffset) {
    const QByteArray p = plainFile();
    const QByteArray head = p + "FALTEXT1";
    const QByteArray empty = chunk("memo", QByteArray());
    const QByteArray half = chunk("blob", QByteArray(KeptChunks::MaxBytes / 2, 'x'));
    struct Case {
        QByteArray chunks;
        qsizetype over;   // offset of the first chunk beyond, -1: within
        const char* what;
    };
    const std::vector<Case> cases = {
        {empty.repeated(int(KeptChunks::MaxCount)), -1, "the most chunks"},
        {empty.repeated(int(KeptChunks::MaxCount) + 1), qsizetype(KeptChunks::MaxCount) * empty.size(), "one more"},
        {half + half, -1, "the most bytes"},
        {half + half + chunk("more", "x"), 2 * half.size(), "one byte more"},
        {half + chunk("blob", QByteArray(KeptChunks::MaxBytes / 2 + 1, 'y')), half.size(), "a chunk too big"},
    };
    for (const Case& c : cases) {
        BoxDocument doc;
        const BoxParseResult r = parseBoxDocument(head + c.chunks + kEnd, doc);
        if (c.over < 0) {
            EXPECT_TRUE(r.ok()) << c.what;
            continue;
        }
        EXPECT_EQ(r.error, BoxParseError::BadExtension) << c.what;
        EXPECT_EQ(r.offset, head.size() + c.over) << c.what;
        expectRefused(head + c.chunks + kEnd, false, c.what);
    }
    // What is kept is written back as it was read.
    BoxDocument doc;
    const QByteArray most = head + empty.repeated(int(KeptChunks::MaxCount)) + kEnd;
    ASSERT_TRUE(openBytes(most, doc));
    EXPECT_EQ(doc.Chunks.size(), KeptChunks::MaxCount);
    EXPECT_EQ(doc.Chunks[KeptChunks::MaxCount - 1].tag, QByteArray("memo"));
    EXPECT_EQ(serializeBoxDocument(doc), most);
}

namespace {

// One "grup" entry as the format lays it out.
QByteArray groupEntry(std::uint32_t slot, std::uint32_t group, bool locked, const Tobs& o) {
    return u32(slot) + u32(group) + u32(locked ? 1 : 0) + u32(o.Kind) + u32(o.Left) + u32(o.Top) + u32(o.Width) +
           u32(o.Height);
}

// A design with a group of two (slots 2 and 7), a locked object (slot 9)
// and a loose one (slot 4).
BoxDocument groupedDocument() {
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 2);
    placeFigure(doc, 4, 1000, 2000);
    placeText(doc, 7, QStringLiteral("Tee"));
    placeFigure(doc, 9, 5000, 6000);
    doc.Objects[2].Group = doc.Objects[7].Group = 3;
    doc.Objects[9].Locked = 1;
    return doc;
}

}  // namespace

TEST_F(BoxFileExtension, GroupsAndLocksRoundTripAndAnOlderReaderKeepsThemByteForByte) {
    BoxDocument doc = groupedDocument();
    const QByteArray bytes = serializeBoxDocument(doc);
    BoxDocument plainDoc = groupedDocument();
    plainDoc.Objects[2].Group = plainDoc.Objects[7].Group = 0;
    plainDoc.Objects[9].Locked = 0;
    const QByteArray plain = serializeBoxDocument(plainDoc);
    const QByteArray grup = chunk("grup", u32(3) + groupEntry(2, 3, false, doc.Objects[2]) +
                                              groupEntry(7, 3, false, doc.Objects[7]) +
                                              groupEntry(9, 0, true, doc.Objects[9]));
    EXPECT_EQ(bytes, plain + "FALTEXT1" + grup + kEnd);

    BoxDocument back;
    ASSERT_TRUE(openBytes(bytes, back));
    EXPECT_EQ(back.Objects[2].Group, 3);
    EXPECT_EQ(back.Objects[7].Group, 3);
    EXPECT_EQ(back.Objects[4].Group, 0);
    EXPECT_EQ(back.Objects[9].Locked, 1);
    EXPECT_TRUE(back.Chunks.empty());
    EXPECT_EQ(serializeBoxDocument(back), bytes);

    // A reader that does not know groups keeps the chunk as it is and
    // writes it back; the plain reader sees the same four objects.
    BoxForm form;
    KeptChunks kept;
    ASSERT_TRUE(parseBoxExtension(bytes, plain.size(), form, kept).ok());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(plain + boxExtensionBytes(form, kept), bytes);
    EXPECT_EQ(readPlain(bytes).seenSlots, (std::vector<std::int32_t>{2, 4, 7, 9}));
}

TEST_F(BoxFileExtension, EntriesAnOlderVersionMadeStaleAreDropped) {
    // An older version kept the chunk while it moved, deleted and exchanged
    // objects: entries whose object no longer matches go, and a group left
    // with one member is no group.
    const BoxDocument doc = groupedDocument();
    struct Case {
        const char* what;
        std::function<void(BoxDocument&)> olderEdit;
        std::vector<int> groupedAfter;
        bool nineLocked;
    };
    const std::vector<Case> cases = {
        {"untouched", [](BoxDocument&) {}, {2, 7}, true},
        {"member moved", [](BoxDocument& d) { d.Objects[7].Left += 1; }, {}, true},
        {"member resized", [](BoxDocument& d) { d.Objects[2].Height += 1; }, {}, true},
        {"locked one deleted", [](BoxDocument& d) { d.Objects.deleteObject(9); }, {2, 7}, false},
        {"locked one exchanged with a free slot", [](BoxDocument& d) { d.Objects.exchange(9, 10000); }, {2, 7}, false},
        {"text turned into another kind", [](BoxDocument& d) { d.Objects[7].Kind = Image; }, {}, true},
    };
    for (const Case& c : cases) {
        BoxDocument older = groupedDocument();
        for (int s : {2, 7, 9}) older.Objects[s].Group = older.Objects[s].Locked = 0;
        c.olderEdit(older);
        BoxForm form;
        KeptChunks kept;
        const QByteArray full = serializeBoxDocument(doc);
        const qsizetype plainSize = full.indexOf("FALTEXT1");
        ASSERT_TRUE(parseBoxExtension(full, plainSize, form, kept).ok());
        const QByteArray olderFile = serializeBoxDocument(older) + boxExtensionBytes(form, kept);
        BoxDocument back;
        ASSERT_TRUE(openBytes(olderFile, back)) << c.what;
        std::vector<int> grouped;
        for (int s = 1; s <= ObjectTable::Capacity; ++s)
            if (back.Objects[s].Group != 0) grouped.push_back(s);
        EXPECT_EQ(grouped, c.groupedAfter) << c.what;
        EXPECT_EQ(back.Objects[9].Locked == 1, c.nineLocked) << c.what;
    }
}

TEST_F(BoxFileExtension, DamagedGroupChunksAreRefusedAtTheirOffset) {
    const QByteArray p = plainFile();
    const qsizetype chunkAt = p.size() + 8;
    Tobs o;
    o.Kind = Figure;
    const QByteArray good = groupEntry(2, 1, false, o);
    struct Fault {
        QByteArray bytes;
        qsizetype offset;
        const char* what;
    };
    const std::vector<Fault> faults = {
        {chunk("grup", u32(1) + groupEntry(0, 1, false, o)), chunkAt + 12, "slot 0"},
        {chunk("grup", u32(2) + good + groupEntry(10001, 1, false, o)), chunkAt + 12 + 32, "slot 10001"},
        {chunk("grup", u32(2) + good), chunkAt + 4, "count larger than the entries"},
        {chunk("grup", u32(1) + good + "x"), chunkAt + 4, "length not whole entries"},
        {chunk("grup", "ab"), chunkAt + 4, "shorter than its count"},
        {chunk("grup", u32(1) + good) + chunk("grup", u32(1) + good), chunkAt + 44, "second grup"},
    };
    for (const Fault& f : faults) {
        BoxDocument doc;
        const BoxParseResult r = parseBoxDocument(p + "FALTEXT1" + f.bytes + kEnd, doc);
        EXPECT_EQ(r.error, BoxParseError::BadExtension) << f.what;
        EXPECT_EQ(r.offset, f.offset) << f.what;
        expectRefused(p + "FALTEXT1" + f.bytes + kEnd, false, f.what);
    }
}

namespace {

QByteArray seriesChunk(std::uint32_t separator, std::uint32_t encoding, const QByteArray& path) {
    return chunk("sdat", u32(separator) + u32(encoding) + u32(path.size()) + path);
}

}  // namespace

TEST_F(BoxFileExtension, LinkedDataIsStoredRelativeBesideOrBelowTheBoxFileElseAbsolute) {
    const QString boxDir = dir.filePath(QStringLiteral("boxen"));
    struct Case {
        QString data;         // the data file, absolute
        QString savedAt;      // where the design is saved
        QByteArray stored;    // the path as the file stores it
    };
    const std::vector<Case> cases = {
        {boxDir + "/gäste.csv", boxDir + "/f.box", "gäste.csv"},
        {boxDir + "/daten/2026/g.tsv", boxDir + "/f.box", "daten/2026/g.tsv"},
        // A sibling folder whose name only begins like the box file's folder.
        {boxDir + "2/g.csv", boxDir + "/f.box", (boxDir + "2/g.csv").toUtf8()},
        {dir.filePath("g.csv"), boxDir + "/f.box", dir.filePath("g.csv").toUtf8()},
        // Saved elsewhere later: re-expressed for the new place.
        {boxDir + "/daten/g.csv", dir.filePath("f.box"), "boxen/daten/g.csv"},
    };
    for (const Case& c : cases) {
        BoxDocument doc;
        makeNewDocument(doc);
        placeText(doc, 7, QStringLiteral("Für {Vorname}"));
        const QByteArray plain = serializeBoxDocument(doc);
        doc.FileName = boxDir + "/f.box";
        doc.Series = SeriesLink{c.data, SeriesSeparator::Semicolon, SeriesEncoding::Windows1252};
        QDir().mkpath(boxDir);
        ASSERT_TRUE(Saveit(doc, c.savedAt, prompter));
        const QByteArray bytes = readAll(c.savedAt);
        EXPECT_EQ(bytes, plain + "FALTEXT1" + seriesChunk(1, 1, c.stored) + kEnd) << c.stored.constData();
        BoxDocument back;
        ASSERT_TRUE(OpenItNow(back, c.savedAt, prompter));
        EXPECT_EQ(back.Series, doc.Series) << c.stored.constData();
        EXPECT_TRUE(back.Chunks.empty());
        // An older version keeps the chunk byte for byte and reads the plain
        // part: the text with its field as typed.
        BoxForm form;
        KeptChunks kept;
        ASSERT_TRUE(parseBoxExtension(bytes, plain.size(), form, kept).ok());
        EXPECT_EQ(plain + boxExtensionBytes(form, kept), bytes);
        EXPECT_EQ(readPlain(bytes).seenSlots, (std::vector<std::int32_t>{7}));
        back.clearall();
        EXPECT_FALSE(back.Series.linked());
    }
    // A design never saved stores the absolute path.
    BoxDocument unsaved;
    makeNewDocument(unsaved);
    unsaved.Series.path = boxDir + "/g.csv";
    EXPECT_TRUE(serializeBoxDocument(unsaved).endsWith(seriesChunk(0, 0, (boxDir + "/g.csv").toUtf8()) + kEnd));
}

TEST_F(BoxFileExtension, ALinkThisVersionCannotReadIsKeptAndALinkMadeHereReplacesIt) {
    const QByteArray p = plainFile();
    // A separator or encoding of a newer version, more bytes than the path,
    // too short, no path.
    for (const QByteArray& body : {seriesChunk(3, 0, "g.csv"), seriesChunk(0, 2, "g.csv"),
                                   chunk("sdat", u32(0) + u32(0) + u32(5) + "g.csvmehr"), chunk("sdat", "kurz"),
                                   seriesChunk(0, 0, QByteArray())}) {
        const QByteArray bytes = p + "FALTEXT1" + body + kEnd;
        BoxDocument doc;
        ASSERT_TRUE(openBytes(bytes, doc)) << body.toHex().constData();
        EXPECT_FALSE(doc.Series.linked());
        EXPECT_EQ(serializeBoxDocument(doc), bytes);
        doc.Series.path = dir.filePath(QStringLiteral("neu.csv"));
        EXPECT_EQ(serializeBoxDocument(doc, dir.filePath("f.box")), p + "FALTEXT1" + seriesChunk(0, 0, "neu.csv") + kEnd);
    }
    expectRefused(p + "FALTEXT1" + seriesChunk(0, 0, "a.csv") + seriesChunk(0, 0, "b.csv") + kEnd, false, "twice");
}
