// A text of a megabyte shows only the lines its rectangle holds: its print,
// its vector file and its glyph paths are those of its first few hundred
// lines. Laying out all 16000 lines took over two minutes and 2 GB for the
// paths and wrote every hidden line into the file.

#include "ExportTestSupport.h"
#include "model/BoxDocument.h"
#include "sheet/SheetRenderer.h"

#include <QPageLayout>
#include <QPageSize>
#include <gtest/gtest.h>

#include <memory>

namespace {

// lines numbered lines in a 300 x 200 text with shadow and outline.
std::unique_ptr<BoxDocument> textOfLines(int lines) {
    auto doc = rt::document();
    Tobs& o = rt::place(*doc, 1, Text, 620, 420, 300, 200);
    o.FontName = QStringLiteral("DejaVu Sans");
    o.FontSize = 10;
    o.Shadow = 1;
    o.FillModeOrShadowColor = 0x808080;
    o.Outline = 1;
    o.BorderOrOutlineColor = 0x00FFFF;
    QString content;
    for (int i = 1; i <= lines; ++i)
        content += QStringLiteral("Zeile %1 eines langen Textes, der umgebrochen wird\r").arg(i);
    o.Content = content;
    return doc;
}

QByteArray exportBytes(BoxDocument& doc, ExportFormat format, bool asPaths) {
    ExportOptions o;
    o.format = format;
    o.textAsPaths = asPaths;
    return ex::exportBytes(doc, o);
}

}  // namespace

TEST(LongText, AMegabyteOfTextPrintsAndExportsAsItsVisibleLines) {
    auto whole = textOfLines(20000);
    ASSERT_GT(whole->Objects[1].Content.size(), 1 << 20);
    auto head = textOfLines(300);   // far more lines than the rectangle shows

    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
    const QSize page = layout.fullRectPixels(300).size();
    const QImage printed = renderSheetImage(*whole, 100, 300, page);
    EXPECT_EQ(printed, renderSheetImage(*head, 100, 300, page));
    // The text is there at all.
    EXPECT_GT(rt::countOf(printed, rt::rgb(255, 255, 0), printed.rect()), 1000);

    const QByteArray svg = exportBytes(*whole, ExportFormat::Svg, false);
    EXPECT_TRUE(svg.contains("Zeile 1 "));
    EXPECT_FALSE(svg.contains("Zeile 299 "));
    EXPECT_EQ(svg, exportBytes(*head, ExportFormat::Svg, false));
    const QByteArray paths = exportBytes(*whole, ExportFormat::Svg, true);
    EXPECT_LT(paths.size(), 32 << 20);   // outline copies included
    EXPECT_EQ(paths, exportBytes(*head, ExportFormat::Svg, true));
}
