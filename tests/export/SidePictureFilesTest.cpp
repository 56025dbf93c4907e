// An SVG's side pictures share the folder with the user's files: only the
// pictures the SVG being replaced names may be replaced or removed, a name
// taken by anything else gets the next number, and the SVG holds whatever
// its content is.
#include "ExportTestSupport.h"
#include "WriteFaults.h"
#include "export/SidePictureFiles.h"

#include <QSet>

using namespace writefaults;

namespace {

QByteArray svgNaming(const QStringList& names) {
    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">";
    for (const QString& name : names) svg += "<image xlink:href=\"" + sidePictureHref(name).toUtf8() + "\"/>";
    return svg + "</svg>";
}

QSet<QString> setOf(const QStringList& names) { return QSet<QString>(names.begin(), names.end()); }

}  // namespace

TEST(SidePictureFiles, OnlyPicturesBesideTheSvgWithItsNameCount) {
    struct Case {
        QByteArray text;
        QString base;
        QStringList named;
    };
    const std::vector<Case> cases = {
        {svgNaming({"Urlaub-bild3.png", "Urlaub-bild12.jpg"}), "Urlaub", {"Urlaub-bild3.png", "Urlaub-bild12.jpg"}},
        {svgNaming({"Mein Urlaub-bild1.jpg"}), "Mein Urlaub", {"Mein Urlaub-bild1.jpg"}},
        // Another folder (also when encoded), another SVG, no picture number,
        // another kind, a reference within the file, embedded data.
        {svgNaming({"../Urlaub-bild1.png", "sub/Urlaub-bild2.png", "Anders-bild1.png", "Urlaub-bild0.png",
                    "Urlaub-bild.png", "Urlaub-bild1.gif", "Urlaub-bild1.png.txt"}),
         "Urlaub",
         {}},
        {"<use xlink:href=\"#image1\"/><image xlink:href=\"data:image/png;base64,AAAA\"/>", "Urlaub", {}},
        {"<image xlink:href=\"..%2FUrlaub-bild1.png\"/><image xlink:href=\"Urlaub-bild1.png", "Urlaub", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sidePicturesNamedIn(c.text, c.base), setOf(c.named)) << c.text.toStdString();
}

// Urlaub.svg exported into a folder with the user's Urlaub-bild1.jpg,
// Urlaub-bild2.png and Urlaub-bild17.jpg used to remove all three.
TEST(SidePictureFiles, TheUsersFilesStayAndOnlyTheEarlierExportsPicturesAreReplacedOrRemoved) {
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("Urlaub.svg"));
    const QStringList users = {"Urlaub-bild1.jpg", "Urlaub-bild2.png", "Urlaub-bild17.jpg", "Urlaub-bild5.png"};
    for (const QString& name : users) ASSERT_TRUE(writeAll(dir.filePath(name), "eigen " + name.toUtf8()));
    // The earlier export: its SVG names two pictures, and is more than a
    // block long with one name across the block's end.
    for (const char* name : {"Urlaub-bild3.png", "Urlaub-bild4.jpg"}) ASSERT_TRUE(writeAll(dir.filePath(name), "alt"));
    const QByteArray head = svgNaming({"Urlaub-bild3.png"}).chopped(6);
    const QByteArray padding((1 << 20) - head.size() - 20, ' ');
    ASSERT_TRUE(writeAll(svg, head + padding + "<image xlink:href=\"Urlaub-bild4.jpg\"/></svg>"));

    SidePictureNames names(svg);
    EXPECT_EQ(names.earlier(), setOf({"Urlaub-bild3.png", "Urlaub-bild4.jpg"}));
    const std::vector<SidePicture> side = {{names.next("jpg"), "neu 1"}, {names.next("png"), "neu 2"}};
    EXPECT_EQ(side[0].fileName, QStringLiteral("Urlaub-bild2.jpg"));   // bild1.jpg is the user's
    EXPECT_EQ(side[1].fileName, QStringLiteral("Urlaub-bild3.png"));   // the earlier export's: replaced
    QString error;
    ASSERT_TRUE(saveSvgWithSidePictures(svg, svgNaming({side[0].fileName, side[1].fileName}), side, names, error))
        << error.toStdString();
    for (const QString& name : users) EXPECT_EQ(readAll(dir.filePath(name)), "eigen " + name.toUtf8());
    EXPECT_EQ(readAll(dir.filePath(side[0].fileName)), "neu 1");
    EXPECT_EQ(readAll(dir.filePath(side[1].fileName)), "neu 2");
    EXPECT_EQ(setOf(entriesOf(dir.path())), setOf(users + QStringList{"Urlaub-bild2.jpg", "Urlaub-bild3.png", "Urlaub.svg"}));

    // Without pictures the next export removes those two, and only those.
    const SidePictureNames none(svg);
    ASSERT_TRUE(saveSvgWithSidePictures(svg, svgNaming({}), {}, none, error)) << error.toStdString();
    EXPECT_EQ(setOf(entriesOf(dir.path())), setOf(users + QStringList{"Urlaub.svg"}));
    // An earlier picture made read-only since is neither replaced nor removed.
    ASSERT_TRUE(writeAll(svg, svgNaming({"Urlaub-bild3.png"})));
    ASSERT_TRUE(writeAll(dir.filePath("Urlaub-bild3.png"), "geschützt"));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("Urlaub-bild3.png"), QFileDevice::ReadOwner));
    SidePictureNames readOnly(svg);
    EXPECT_EQ(readOnly.next("png"), QStringLiteral("Urlaub-bild1.png"));
    EXPECT_EQ(readOnly.next("png"), QStringLiteral("Urlaub-bild4.png"));
    ASSERT_TRUE(saveSvgWithSidePictures(svg, svgNaming({}), {}, readOnly, error)) << error.toStdString();
    EXPECT_EQ(readAll(dir.filePath("Urlaub-bild3.png")), "geschützt");
    ASSERT_TRUE(QFile::remove(dir.filePath("Urlaub-bild3.png")));
    // Without an SVG to replace, every file there is the user's.
    ASSERT_TRUE(QFile::remove(svg));
    SidePictureNames fresh(svg);
    EXPECT_EQ(fresh.next("png"), QStringLiteral("Urlaub-bild1.png"));
    EXPECT_EQ(fresh.next("png"), QStringLiteral("Urlaub-bild3.png"));
}

// A write that fails leaves the SVG and the earlier export's pictures as
// they were, and no picture and no temporary file of the failed one.
TEST(SidePictureFiles, AFailedWriteKeepsTheEarlierExport) {
    RUN_IN_CHILD_PROCESS();
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("k.svg"));
    QString error;
    SidePictureNames first(svg);
    const std::vector<SidePicture> old = {{first.next("png"), QByteArray(100, 'a')}};
    ASSERT_TRUE(saveSvgWithSidePictures(svg, svgNaming({old[0].fileName}), old, first, error));
    const QByteArray oldSvg = readAll(svg);

    SidePictureNames second(svg);
    const std::vector<SidePicture> side = {{second.next("png"), QByteArray(1000, 'b')},
                                           {second.next("png"), QByteArray(3000, 'c')}};
    EXPECT_EQ(side[1].fileName, QStringLiteral("k-bild2.png"));
    bool saved;
    {
        const FileSizeLimit limit(2000);
        saved = saveSvgWithSidePictures(svg, svgNaming({side[0].fileName, side[1].fileName}), side, second, error);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, dir.filePath(QStringLiteral("k-bild2.png")) + QStringLiteral(": Datei zu groß"));
    EXPECT_EQ(readAll(svg), oldSvg);
    EXPECT_EQ(readAll(dir.filePath(old[0].fileName)), old[0].bytes);
    EXPECT_EQ(setOf(entriesOf(dir.path())), setOf({"k-bild1.png", "k.svg"}));
}

// XML has no place for most control characters nor for half a surrogate
// pair; one in a font name used to fail the whole SVG (the PDF worked).
TEST(SvgContent, CharactersXmlCannotHoldAreReplacedAndTheSvgReads) {
    auto doc = rt::document();
    Tobs& text = rt::place(*doc, 1, Text, 620, 420, 300, 200);
    text.FontName = QStringLiteral("DejaVu") + QChar(0x01) + QStringLiteral("Sans");
    text.FontSize = 20;
    text.Content = QStringLiteral("Tee") + QChar(0x0b) + QStringLiteral("kanne") + QChar(0xd800) +
                   QStringLiteral(" und ") + QChar(0xfffe) + QStringLiteral("Tasse");
    ExportOptions options;
    options.format = ExportFormat::Svg;
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("steuerzeichen.svg"));
    QString error;
    ASSERT_TRUE(exportToFile(*doc, options, svg, error)) << error.toStdString();
    const QByteArray bytes = readAll(svg);
    EXPECT_TRUE(bytes.contains("kanne")) << bytes.toStdString();
    ex::run(QStringLiteral("rsvg-convert"), {QStringLiteral("-o"), dir.filePath(QStringLiteral("a.png")), svg});
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("a.png"))).isNull());
}
