// "E&xportieren...": the dialog's choices, the file dialog with the
// overwrite question, targets that are no files, and the menu item that
// runs it all.
#include "AppTestSupport.h"

#include "app/ExportCommands.h"
#include "app/MainMenu.h"
#include "app/PrintController.h"
#include "dialogs/ExportForm.h"
#include "model/BoxDocument.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QAbstractButton>
#include <QLabel>
#include <QSet>
#include <QDir>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

namespace {

ExportCommands::OptionsDialog accepting(ExportOptions chosen, ExportOptions* shown = nullptr) {
    return [chosen, shown](ExportOptions& o) {
        if (shown) *shown = o;
        const int percent = o.percent;
        o = chosen;
        o.percent = percent;
        return true;
    };
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(ExportCommand, WritesTheChosenFormatWithTheEditorsBoxSizeAndItsSuffix) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    ExportOptions chosen;
    chosen.format = ExportFormat::Svg;
    ExportOptions shown;
    ExportCommands cmd(doc, prompter, accepting(chosen, &shown));
    prompter.savePaths.push_back(dir.filePath("box"));
    EXPECT_TRUE(cmd.ExportierenClick(40));
    EXPECT_EQ(shown.percent, 40);
    const QByteArray svg = readAll(dir.filePath("box.svg"));
    EXPECT_TRUE(svg.startsWith("<?xml")) << svg.left(40).toStdString();
    EXPECT_TRUE(svg.contains("inkscape:groupmode=\"layer\""));
    EXPECT_TRUE(prompter.messages.empty());
    // The next export starts from the last choice.
    prompter.savePaths.push_back(dir.filePath("again.pdf"));
    EXPECT_TRUE(cmd.ExportierenClick(100));
    EXPECT_EQ(shown.format, ExportFormat::Svg);
}

TEST(ExportCommand, PicturesBesideTheSvgAreToldAsInformation) {
    QTemporaryDir dir;
    // A noise background: its PNG is over 7 MB, too much for the SVG's readers.
    QImage noise(1700, 1500, QImage::Format_RGB32);
    quint32 state = 23;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, state | 0xFF000000u);
        }
    BoxDocument doc;
    doc.BackgroundPicture = DibHandle(noise);
    doc.BackgroundMode = bgFit;
    RecordingPrompter prompter;
    ExportOptions chosen;
    chosen.format = ExportFormat::Svg;
    ExportCommands cmd(doc, prompter, accepting(chosen));
    // A file of the user's under the first picture's name stays as it is.
    {
        QFile own(dir.filePath("gross-bild1.png"));
        ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        own.write("eigen");
    }
    prompter.savePaths.push_back(dir.filePath("gross.svg"));
    EXPECT_TRUE(cmd.ExportierenClick(100));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Große Bilder wurden neben der SVG-Datei gespeichert."));
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(readAll(dir.filePath("gross-bild1.png")), QByteArray("eigen"));
    EXPECT_TRUE(readAll(dir.filePath("gross.svg")).contains("xlink:href=\"gross-bild2.png\""));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("gross-bild2.png")));
}

TEST(ExportCommand, ExistingFileIsReplacedOnlyAfterYes) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    ExportCommands cmd(doc, prompter, accepting(ExportOptions()));
    const QString path = dir.filePath("da.pdf");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("alt");
    }
    prompter.savePaths.push_back(path);
    prompter.answers.push_back(PromptAnswer::No);
    EXPECT_FALSE(cmd.ExportierenClick(100));
    EXPECT_EQ(readAll(path), QByteArray("alt"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Vorhandene Datei Überschreiben?"));
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Die Datei existiert schon, soll Sie überschrieben werden?"));

    prompter.savePaths.push_back(path);
    prompter.answers.push_back(PromptAnswer::Yes);
    EXPECT_TRUE(cmd.ExportierenClick(100));
    EXPECT_TRUE(readAll(path).startsWith("%PDF-1.5"));
}

TEST(ExportCommand, FifoDeviceAndFolderAreRefusedWithAMessage) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    ExportCommands cmd(doc, prompter, accepting(ExportOptions()));
    const QString fifo = dir.filePath("rohr.pdf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A name with the suffix that leads to a device.
    const QString device = dir.filePath("geraet.pdf");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    for (const QString& target : {fifo, device, dir.path() + QStringLiteral("/ordner.pdf")}) {
        if (target.endsWith("ordner.pdf")) ASSERT_TRUE(QDir(dir.path()).mkdir("ordner.pdf"));
        prompter.messages.clear();
        prompter.savePaths.push_back(target);
        prompter.answers.push_back(PromptAnswer::Yes);
        EXPECT_FALSE(cmd.ExportierenClick(100)) << target.toStdString();
        ASSERT_FALSE(prompter.messages.empty());
        const QString reason = target.endsWith("ordner.pdf") ? QStringLiteral("ist ein Ordner")
                                                              : QStringLiteral("ist keine gewöhnliche Datei");
        EXPECT_TRUE(prompter.messages.back().text.contains(reason)) << prompter.messages.back().text.toStdString();
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(ExportCommand, CancelledDialogOrFileDialogWritesNothing) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    ExportCommands refused(doc, prompter, [](ExportOptions&) { return false; });
    prompter.savePaths.push_back(dir.filePath("nie.pdf"));
    EXPECT_FALSE(refused.ExportierenClick(100));
    EXPECT_FALSE(QFile::exists(dir.filePath("nie.pdf")));
    ExportCommands cmd(doc, prompter, accepting(ExportOptions()));
    prompter.savePaths.clear();
    EXPECT_FALSE(cmd.ExportierenClick(100));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST(ExportDialog, ChoicesRoundTripAndDefaultsAsDescribed) {
    TExportForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Exportieren"));
    ExportOptions d = form.options();
    EXPECT_EQ(d.format, ExportFormat::Pdf);
    EXPECT_TRUE(d.art && d.cuts && d.folds);
    EXPECT_FALSE(d.net);
    EXPECT_FALSE(d.textAsPaths);
    EXPECT_FALSE(d.bleed);
    EXPECT_EQ(form.PageCombo->itemText(3), QStringLiteral("Nur die Box"));
    EXPECT_EQ(form.NetzCheck->text(), QStringLiteral("&Gepunktetes Netz wie im Druck"));
    // Every mnemonic of the dialog is its own.
    QStringList keys;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
        const int at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size()) keys << text.mid(at + 1, 1).toLower();
    }
    EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size()) << keys.join(' ').toStdString();

    ExportOptions o;
    o.format = ExportFormat::Svg;
    o.art = false;
    o.net = true;
    o.percent = 70;
    o.page = ExportPage::Letter;
    o.bleed = true;
    o.bleedMm = 2.5;
    form.setOptions(o);
    const ExportOptions back = form.options();
    EXPECT_EQ(back.format, ExportFormat::Svg);
    EXPECT_FALSE(back.art);
    EXPECT_TRUE(back.net);
    EXPECT_EQ(back.percent, 70);
    EXPECT_EQ(back.page, ExportPage::Letter);
    EXPECT_TRUE(back.bleed);
    EXPECT_DOUBLE_EQ(back.bleedMm, 2.5);
    // Bleed and text concern the design only; nothing at all cannot be confirmed.
    EXPECT_FALSE(form.BleedED->isEnabled());
    form.NetzCheck->setChecked(false);
    form.SchnittCheck->setChecked(false);
    form.FalzCheck->setChecked(false);
    EXPECT_FALSE(form.OkBtn->isEnabled());
    form.BleedED->setValue(9);
    EXPECT_DOUBLE_EQ(form.BleedED->value(), 5.0);
}

TEST(ExportDialog, MenuItemRunsDialogAndWritesTheFile) {
    QTemporaryDir dir;
    StartedWindow w;
    const QString path = dir.filePath("menu.svg");
    w.prompter.savePaths.push_back(path);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TExportForm*>(QApplication::activeModalWidget());
        if (!form) return;
        seen = true;
        form->SvgBtn->setChecked(true);
        form->OkBtn->click();
    });
    w.window->MainMenu1->Exportieren1->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(readAll(path).contains("<svg"));
}

TEST(ExportCommand, TheTypedExtensionDecidesTheFormat) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    const struct {
        ExportFormat chosen;
        const char* typed;
        const char* written;   // null: refused with a message
        const char* begins;
    } cases[] = {{ExportFormat::Svg, "a.pdf", "a.pdf", "%PDF"},
                 {ExportFormat::Pdf, "b.SVG", "b.SVG", "<?xml"},
                 {ExportFormat::Svg, "c", "c.svg", "<?xml"},
                 {ExportFormat::Pdf, "d", "d.pdf", "%PDF"},
                 {ExportFormat::Pdf, "e.txt", nullptr, nullptr}};
    for (const auto& c : cases) {
        ExportOptions chosen;
        chosen.format = c.chosen;
        ExportCommands cmd(doc, prompter, accepting(chosen));
        prompter.messages.clear();
        prompter.savePaths.push_back(dir.filePath(c.typed));
        EXPECT_EQ(cmd.ExportierenClick(100), c.written != nullptr) << c.typed;
        if (c.written) {
            EXPECT_TRUE(readAll(dir.filePath(c.written)).startsWith(c.begins)) << c.typed;
            EXPECT_TRUE(prompter.messages.empty()) << c.typed;
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].text,
                      QStringLiteral("Exportiert wird als PDF- oder SVG-Datei (Endung .pdf oder .svg)."));
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4);
}

TEST(ExportCommand, DialogStartsWithTheBoxsFormAndThePrintPagesPaperAndBleed) {
    BoxDocument doc;
    RecordingPrompter prompter;
    ExportOptions shown;
    // The user picks Letter and 3 mm, then cancels the file dialog.
    ExportOptions chosen;
    chosen.page = ExportPage::Letter;
    chosen.bleed = true;
    chosen.bleedMm = 3;
    ExportCommands cmd(doc, prompter, accepting(chosen, &shown));
    ExportCommands::PrintPageState page;
    page.paperMm = QSizeF(420, 297);
    page.bleed = true;
    page.bleedMm = 1;
    cmd.setPrintPage([&] { return page; });
    for (int round = 0; round < 2; ++round) {
        cmd.ExportierenClick(40);
        EXPECT_EQ(shown.percent, 40);
        EXPECT_EQ(shown.page, ExportPage::A3) << round;
        EXPECT_TRUE(shown.bleed);
        EXPECT_DOUBLE_EQ(shown.bleedMm, 1.0) << round;
    }
    // A cuboid does not follow the editor's box size.
    doc.Form.kind = FormKind::Quader;
    page = ExportCommands::PrintPageState{QSizeF(215.9, 279.4), false, 2};
    cmd.ExportierenClick(40);
    EXPECT_EQ(shown.percent, 100);
    EXPECT_EQ(shown.page, ExportPage::Letter);
    EXPECT_FALSE(shown.bleed);

    const struct {
        QSizeF paper;
        ExportPage page;
    } papers[] = {{{297, 210}, ExportPage::A4}, {{297.2, 420.1}, ExportPage::A3},
                  {{279.4, 215.9}, ExportPage::Letter}, {{148, 210}, ExportPage::A4}};
    for (const auto& p : papers) EXPECT_EQ(exportPageForPaper(p.paper), p.page) << p.paper.width();

    TExportForm form;
    form.setOptions(shown);
    EXPECT_DOUBLE_EQ(form.BleedED->value(), 2.0);   // shown while off, for a tick
    form.setCuboid(true);
    EXPECT_FALSE(form.ProzED->isEnabled());
    form.setCuboid(false);
    EXPECT_TRUE(form.ProzED->isEnabled());
}

TEST(ExportDialog, FollowsThePrintersPaperAndThePrintPagesBleed) {
    QTemporaryDir dir;
    StartedWindow w;
    w.window->printController().setPaper(PaperFormat::A3);
    w.window->printController().Options.bleed = true;
    w.window->printController().Options.bleedMm = 1.5;
    ExportOptions shown;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TExportForm*>(QApplication::activeModalWidget());
        if (!form) return;
        seen = true;
        shown = form->options();
        form->CancelBtn->click();
    });
    w.window->MainMenu1->Exportieren1->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(shown.page, ExportPage::A3);
    EXPECT_TRUE(shown.bleed);
    EXPECT_DOUBLE_EQ(shown.bleedMm, 1.5);
}
