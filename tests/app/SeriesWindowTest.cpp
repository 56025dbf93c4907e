// Linked data in the real window: the "Seriendaten" dialog reading a
// spreadsheet's file, the link as one undo step, the "Datensatz" field
// switching the row the editor and the 3D view draw without changing the
// design, the status line naming fields the data lacks, and a design whose
// data is gone opening with its link kept.
#include "AppTestSupport.h"

#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/FileCommands.h"
#include "app/FoldPage.h"
#include "app/FoldView.h"
#include "app/MainMenu.h"
#include "dialogs/SeriesDataForm.h"
#include "edit/ObjectCommands.h"
#include "model/BoxFile.h"
#include "model/SeriesView.h"
#include "render/Mapping.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void writePicture(const QString& path, QColor color) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(color);
    ASSERT_TRUE(img.save(path, "PNG"));
}

struct SeriesWindow : StartedWindow {
    QTemporaryDir dir;
    QString csv;
    int text = 0, photo = 0;

    SeriesWindow() {
        // Saved by a spreadsheet program: semicolons and Windows-1252.
        csv = dir.filePath(QStringLiteral("gäste.csv"));
        writeBytes(csv, "Vorname;Foto\r\nAnna;anna.png\r\nJ\xFCrgen;juergen.png\r\n");
        writePicture(dir.filePath(QStringLiteral("bilder/anna.png")), Qt::red);
        writePicture(dir.filePath(QStringLiteral("bilder/juergen.png")), Qt::blue);
        BoxDocument& d = doc();
        // The picture covers the item, so every face of the box shows it.
        photo = d.Objects.takeFreeSlot();
        Tobs& p = d.Objects[photo];
        p.Kind = Image;
        p.Left = d.ExtentWidth / 3;
        p.Top = d.ExtentHeight / 3;
        p.Width = d.ExtentWidth / 3;
        p.Height = d.ExtentHeight / 3;
        p.Content = dir.filePath(QStringLiteral("bilder/{Foto}"));
        text = d.Objects.takeFreeSlot();
        Tobs& t = d.Objects[text];
        t.Kind = Text;
        t.Left = p.Left;
        t.Top = p.Top;
        t.Width = p.Width / 2;
        t.Height = p.Height / 4;
        t.FontName = QStringLiteral("Liberation Sans");
        t.FontHeight = -14;
        t.Content = QStringLiteral("Für {Vorname}");
        d.markChanged();
        window->PaintBox1->PaintBox1Paint();
    }

    // The colour most of the picture object's visible part shows in the editor.
    QRgb editorColour() {
        EditorCanvas* canvas = window->PaintBox1;
        canvas->ensureRendered();
        const Mapping map = Mapping::screenFor(doc());
        const Tobs& p = doc().Objects[photo];
        const QRect object(map.DevLeft(p), map.DevTop(p), map.DevWidth(p), map.DevHeight(p));
        const QRect seen = object.intersected(QRect(canvas->scrollPosition(), canvas->visibleSize()));
        const QPoint at = seen.center() - canvas->scrollPosition() + QPoint(0, seen.height() / 4);
        return canvas->paintBuffer().pixel(at) & 0xFFFFFF;
    }

    // Runs "Seriendaten..." with the dialog driven by drive (its result).
    void seriesDialog(const std::function<int(TSeriesDataForm&)>& drive) {
        window->runSeriesDialog = drive;
        window->MainMenu1->Seriendaten1->trigger();
    }
};

TEST(SeriesWindow, LinkingShowsRowsWithoutChangingTheDesignAndIsOneUndoStep) {
    SeriesWindow w;
    EXPECT_FALSE(w.window->TabSheet3->RowED->isEnabled());
    auto& history = w.window->objectCommands().history();
    const int stepsBefore = history.count();

    w.prompter.openPaths = {w.csv};
    w.seriesDialog([&](TSeriesDataForm& form) {
        EXPECT_FALSE(form.OkBtn->isEnabled());
        form.BrowseBtn->click();
        // Recognised from the file, shown as the file reads with them.
        EXPECT_EQ(form.SeparatorBox->currentText(), QStringLiteral("Semikolon"));
        EXPECT_EQ(form.EncodingBox->currentText(), QStringLiteral("Windows-1252"));
        EXPECT_EQ(form.PreviewTable->columnCount(), 2);
        EXPECT_EQ(form.PreviewTable->horizontalHeaderItem(1)->text(), QStringLiteral("Foto"));
        EXPECT_EQ(form.PreviewTable->item(1, 0)->text(), QStringLiteral("Jürgen"));
        // Changed by the user: read again at once, and refused while wrong.
        form.SeparatorBox->setCurrentIndex(form.SeparatorBox->findText(QStringLiteral("Komma")));
        EXPECT_EQ(form.PreviewTable->columnCount(), 1);
        form.EncodingBox->setCurrentIndex(form.EncodingBox->findText(QStringLiteral("UTF-8")));
        form.SeparatorBox->setCurrentIndex(form.SeparatorBox->findText(QStringLiteral("Semikolon")));
        EXPECT_NE(form.PreviewTable->item(1, 0)->text(), QStringLiteral("Jürgen"));
        form.EncodingBox->setCurrentIndex(form.EncodingBox->findText(QStringLiteral("Windows-1252")));
        EXPECT_TRUE(form.StatusLabel->text().startsWith(QStringLiteral("2 Datensätze, 2 Spalten.")));
        form.OkBtn->click();
        return form.result();
    });
    const SeriesLink linked{w.csv, SeriesSeparator::Semicolon, SeriesEncoding::Windows1252};
    EXPECT_EQ(w.doc().Series, linked);
    EXPECT_EQ(history.count(), stepsBefore + 1);
    EXPECT_EQ(history.undoName(), QStringLiteral("Seriendaten"));
    EditorPage* page = w.window->TabSheet3;
    EXPECT_TRUE(page->RowED->isEnabled());
    EXPECT_EQ(page->RowED->maximum(), 2);
    EXPECT_EQ(page->RowCountLabel->text(), QStringLiteral("von 2"));
    EXPECT_EQ(w.editorColour(), 0xFF0000u);

    // Another row: drawn in the editor and on the folded box, no step, no
    // change to save, the design's text as typed.
    const bool modified = history.modified();
    const QImage firstFolded = w.window->TabSheet4->View->grabView(QSize(200, 200));
    page->RowED->setValue(2);
    EXPECT_EQ(w.window->seriesView().current(), 1);
    EXPECT_EQ(w.editorColour(), 0x0000FFu);
    EXPECT_NE(w.window->TabSheet4->View->grabView(QSize(200, 200)), firstFolded);
    EXPECT_EQ(history.count(), stepsBefore + 1);
    EXPECT_EQ(history.modified(), modified);
    EXPECT_EQ(w.doc().Objects[w.text].Content, QStringLiteral("Für {Vorname}"));
    EXPECT_EQ(w.window->seriesView().shown(w.doc()).Objects[w.text].Content, QStringLiteral("Für Jürgen"));

    // A field the data lacks is named on the status line.
    w.doc().Objects[w.text].Content = QStringLiteral("{Vorname} aus {Ort}");
    w.doc().markChanged();
    w.window->PaintBox1->PaintBox1Paint();
    EXPECT_EQ(w.window->statusBar()->currentMessage(),
              QStringLiteral("Unbekanntes Feld {Ort} in Objekt %1").arg(w.text));

    // Edited in a spreadsheet meanwhile: read again, its rows shown.
    writeBytes(w.csv, "Vorname;Foto\r\nAnna;anna.png\r\nJ\xFCrgen;juergen.png\r\nZo\xEB;anna.png\r\n");
    w.window->PaintBox1->PaintBox1Paint();
    EXPECT_EQ(page->RowCountLabel->text(), QStringLiteral("von 3"));
    page->RowED->setValue(3);
    EXPECT_EQ(w.window->seriesView().shown(w.doc()).Objects[w.text].Content, QStringLiteral("Zoë aus {Ort}"));
    EXPECT_EQ(w.editorColour(), 0xFF0000u);

    // Undo unlinks, redo links again; "Keine Seriendaten" unlinks as a step.
    history.undo();
    w.window->PaintBox1->PaintBox1Paint();
    EXPECT_FALSE(w.doc().Series.linked());
    EXPECT_FALSE(page->RowED->isEnabled());
    history.redo();
    w.window->PaintBox1->PaintBox1Paint();
    EXPECT_EQ(w.doc().Series, linked);
    EXPECT_TRUE(page->RowED->isEnabled());
    w.seriesDialog([](TSeriesDataForm& form) {
        EXPECT_TRUE(form.OkBtn->isEnabled());
        form.NoDataBtn->click();
        return form.result();
    });
    EXPECT_FALSE(w.doc().Series.linked());
    EXPECT_EQ(history.undoName(), QStringLiteral("Seriendaten"));
    EXPECT_EQ(history.count(), stepsBefore + 2);
}

TEST(SeriesWindow, ADesignWhoseDataIsGoneOpensWithItsLinkKept) {
    SeriesWindow w;
    w.doc().Series = SeriesLink{w.csv, SeriesSeparator::Semicolon, SeriesEncoding::Windows1252};
    const QString box = w.dir.filePath(QStringLiteral("favour.box"));
    ASSERT_TRUE(Saveit(w.doc(), box, w.prompter));
    ASSERT_TRUE(QFile::rename(w.csv, w.csv + QStringLiteral(".alt")));

    w.prompter.messages.clear();
    w.prompter.answers = {PromptAnswer::No};   // no saving of the design before
    ASSERT_TRUE(w.window->fileCommands().openFile(box));
    EXPECT_EQ(w.doc().FileName, box);
    EXPECT_EQ(w.doc().Series.path, w.csv);
    ASSERT_FALSE(w.prompter.messages.empty());
    const auto& told = w.prompter.messages.back();
    EXPECT_EQ(told.caption, QStringLiteral("Seriendaten"));
    EXPECT_TRUE(told.text.contains(QStringLiteral("Die Verknüpfung bleibt erhalten.")));
    EXPECT_TRUE(told.text.contains(w.csv + QStringLiteral(": Datei nicht gefunden"))) << told.text.toStdString();
    EXPECT_FALSE(w.window->TabSheet3->RowED->isEnabled());
    // The texts show as typed; saving keeps the link, beside the box file.
    EXPECT_EQ(w.window->seriesView().shown(w.doc()).Objects[w.text].Content, QStringLiteral("Für {Vorname}"));
    BoxDocument again;
    ASSERT_TRUE(OpenItNow(again, box, w.prompter));
    EXPECT_EQ(again.Series.path, w.csv);
}

}  // namespace
