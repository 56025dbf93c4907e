// The scan-and-save flow with scripted dialogs, the SANE test backend as the
// scanner, and the two dialogs of the flow.

#include "app/ScanCommands.h"
#include "dialogs/JpegQFUnit.h"
#include "dialogs/ScannerSelectForm.h"
#include "image/ImageLoader.h"
#include "image/ImageWriter.h"
#include "model/Prompter.h"
#include "../image/SaneTestConfig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QGroupBox>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <deque>
#include <sys/stat.h>

namespace {

struct ScriptedDialogs : ScanDialogs {
    struct Save {
        QString path;
        int index;
    };
    std::deque<Save> saves;          // cancelled when exhausted
    std::deque<int> qualities;       // -1 = cancel; cancelled when exhausted
    QString scanner;
    int saveDialogs = 0;
    int qualityDialogs = 0;
    QStringList folders;             // where each save dialog opened

    int scannerDialogs = 0;
    QString chooseScanner(const QString&) override {
        ++scannerDialogs;
        return scanner;
    }
    bool askSavePath(const QString& filter, const QString& folder, QString& path, int& index) override {
        folders.push_back(folder);
        ++saveDialogs;
        EXPECT_EQ(filter, GetDIBSaveFilter());
        if (saves.empty()) return false;
        path = saves.front().path;
        index = saves.front().index;
        saves.pop_front();
        return true;
    }
    bool askJpegQuality(int& quality) override {
        ++qualityDialogs;
        if (qualities.empty() || qualities.front() < 0) return false;
        quality = qualities.front();
        qualities.pop_front();
        return true;
    }
};

DibHandle somePicture() {
    DibHandle d = newdib(30, 20, 24);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) d.setpixel(x, y, std::uint32_t(x * 8 + (y * 12 << 8)));
    return d;
}

class ScanCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto script = std::make_unique<ScriptedDialogs>();
        dialogs = script.get();
        commands = std::make_unique<ScanCommands>(prompter, &window, std::move(script));
    }
    void TearDown() override { commands.reset(); }

    QWidget window;
    RecordingPrompter prompter;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ScanCommands> commands;
    QTemporaryDir dir;
};

}  // namespace

TEST_F(ScanCommandsTest, NameWithoutExtensionGetsThatOfTheChosenType) {
    dialogs->saves = {{dir.filePath("scan"), 8}};   // PCX
    QSignalSpy saved(commands.get(), &ScanCommands::imageSaved);
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    EXPECT_TRUE(QFile::exists(dir.filePath("scan.PCX")));
    EXPECT_EQ(OpenDib(dir.filePath("scan.PCX")).DibWidth(), 30);
    ASSERT_EQ(saved.count(), 1);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ScanCommandsTest, SaveDialogOpensInTheStartFolderThenWhereTheLastPictureWent) {
    QTemporaryDir start;
    commands->setSaveFolder(start.path());
    QDir(dir.path()).mkdir("sub");
    dialogs->saves = {{dir.filePath("no/such/folder/x.bmp"), 1}, {dir.filePath("sub/x.bmp"), 1}};
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    dialogs->saves = {{dir.filePath("y.bmp"), 1}};
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    // a failed save does not move the dialog into a folder that is not there
    EXPECT_EQ(dialogs->folders, QStringList({start.path(), start.path(), dir.filePath("sub")}));
}

TEST_F(ScanCommandsTest, TypedExtensionIsKeptButTheTypeDecidesTheFormat) {
    dialogs->saves = {{dir.filePath("bild.bmp"), 3}};   // GIF chosen
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    QFile f(dir.filePath("bild.bmp"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(6).startsWith("GIF8"));
}

TEST_F(ScanCommandsTest, JpegAsksForQualityAndCancelSavesNothingSilently) {
    dialogs->saves = {{dir.filePath("a"), 6}};
    dialogs->qualities = {-1};
    EXPECT_FALSE(commands->saveScannedImage(somePicture()));
    EXPECT_EQ(dialogs->qualityDialogs, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("a.JPG")));
    EXPECT_TRUE(prompter.messages.empty());

    dialogs->saves = {{dir.filePath("low"), 5}, {dir.filePath("high"), 6}};
    dialogs->qualities = {5, 95};
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    EXPECT_LT(QFileInfo(dir.filePath("low.JIF")).size(), QFileInfo(dir.filePath("high.JPG")).size());
    EXPECT_EQ(JPEGQual(), 95);
    SetJPEGQual(75);
}

TEST_F(ScanCommandsTest, ReadOnlyTargetIsOverwritten) {
    const QString path = dir.filePath("alt.tga");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    dialogs->saves = {{path, 10}};
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    EXPECT_EQ(OpenDib(path).DibWidth(), 30);
}

TEST_F(ScanCommandsTest, FifoAsTargetIsRefusedWithTheSaveMessage) {
    const QString fifo = dir.filePath("rohr.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    dialogs->saves = {{fifo, 1}};
    EXPECT_FALSE(commands->saveScannedImage(somePicture()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Fehler: Datei konnte nicht gespeichert werden!");
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

TEST_F(ScanCommandsTest, FailedSaveSaysSoAndOffersTheDialogAgain) {
    dialogs->saves = {{dir.filePath("no/such/folder/x.bmp"), 1}, {dir.filePath("x.bmp"), 1}};
    ASSERT_TRUE(commands->saveScannedImage(somePicture()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Fehler: Datei konnte nicht gespeichert werden!");
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_TRUE(prompter.messages[0].caption.isEmpty());
    EXPECT_EQ(dialogs->saveDialogs, 2);
    EXPECT_TRUE(QFile::exists(dir.filePath("x.bmp")));

    // after a failure the user may still give up
    prompter.messages.clear();
    dialogs->saves = {{dir.filePath("no/such/folder/y.bmp"), 1}};
    EXPECT_FALSE(commands->saveScannedImage(somePicture()));
    EXPECT_EQ(prompter.messages.size(), 1u);
}

TEST_F(ScanCommandsTest, ScanFromTheTestBackendArrivesAndIsSaved) {
    ASSERT_TRUE(SaneTestConfig::enable()) << "SANE test backend not installed";
    dialogs->saves = {{dir.filePath("seite"), 1}};
    QSignalSpy arrived(commands.get(), &ScanCommands::scanArrived);
    QSignalSpy progress(commands.get(), &ScanCommands::progress);
    commands->setCurrentDevice("test:0");
    commands->setScanOptions({{"mode", "Gray"}, {"read-return-value", "Default"}});
    commands->scanImage();
    EXPECT_TRUE(commands->scanning());
    ASSERT_TRUE(arrived.wait(20000));
    EXPECT_FALSE(commands->scanning());
    const DibHandle page = OpenDib(dir.filePath("seite.BMP"));
    EXPECT_EQ(page.DibWidth(), 157);
    EXPECT_EQ(page.DibHeight(), 196);
    bool sawHundred = false;
    for (const auto& args : progress) sawHundred = sawHundred || args.at(0).toInt() == 100;
    EXPECT_TRUE(sawHundred);
    EXPECT_EQ(progress.last().at(0).toInt(), 0);
}

TEST_F(ScanCommandsTest, ScannerErrorsAndMissingScannerGiveAMessage) {
    ASSERT_TRUE(SaneTestConfig::enable()) << "SANE test backend not installed";
    QSignalSpy arrived(commands.get(), &ScanCommands::scanArrived);
    commands->setCurrentDevice("test:1");
    commands->setScanOptions({{"read-return-value", "SANE_STATUS_JAMMED"}});
    commands->scanImage();
    ASSERT_TRUE(arrived.wait(20000));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Error);
    EXPECT_EQ(dialogs->saveDialogs, 0);

    commands->setScanOptions({{"read-return-value", "Default"}});
    commands->setCurrentDevice("nosuch:3");
    commands->scanImage();
    ASSERT_TRUE(arrived.wait(20000));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, "Es wurde kein Scanner gefunden.");
}

TEST_F(ScanCommandsTest, SelectedScannerIsKeptForTheRun) {
    dialogs->scanner = "test:1";
    commands->selectScanner();
    EXPECT_EQ(commands->currentDevice(), "test:1");
    dialogs->scanner.clear();   // cancelled: the choice stays
    commands->selectScanner();
    EXPECT_EQ(commands->currentDevice(), "test:1");
}

TEST_F(ScanCommandsTest, CancellingASlowScanSaysSoAndSavesNothing) {
    ASSERT_TRUE(SaneTestConfig::enable()) << "SANE test backend not installed";
    QSignalSpy arrived(commands.get(), &ScanCommands::scanArrived);
    commands->setCurrentDevice("test:0");
    commands->setScanOptions({{"read-return-value", "Default"}, {"resolution", "600"},
                              {"read-delay", "true"}, {"read-delay-duration", "200000"}});
    commands->scanImage();
    QTest::qWait(300);
    commands->scanImage();   // a second scan while one runs is refused with a message
    // Choosing a scanner would wait for the running scan: refused at once,
    // the window stays responsive.
    commands->selectScanner();
    EXPECT_EQ(dialogs->scannerDialogs, 0);
    commands->cancelScan();
    ASSERT_TRUE(arrived.wait(10000));
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[0].text, "Es wird bereits ein Bild eingescannt.");
    EXPECT_EQ(prompter.messages[1].text, "Es wird bereits ein Bild eingescannt.");
    EXPECT_EQ(prompter.messages[2].text, "Der Scan wurde abgebrochen.");
    EXPECT_EQ(dialogs->saveDialogs, 0);
    commands->setScanOptions({{"read-delay", "false"}, {"resolution", "50"}});
}

TEST_F(ScanCommandsTest, DestroyingDuringAScanDoesNotHang) {
    ASSERT_TRUE(SaneTestConfig::enable()) << "SANE test backend not installed";
    commands->setCurrentDevice("test:0");
    commands->setScanOptions({{"read-return-value", "Default"}, {"resolution", "600"},
                              {"read-delay", "true"}, {"read-delay-duration", "200000"}});
    commands->scanImage();
    QTest::qWait(300);
    QElapsedTimer timer;
    timer.start();
    commands.reset();   // cancels and waits
    EXPECT_LT(timer.elapsed(), 5000);
}

// --- dialogs ----------------------------------------------------------------

class JpegFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        oldOrg = QCoreApplication::organizationName();
        QCoreApplication::setOrganizationName("FaltarillonScanTest");
    }
    void TearDown() override {
        QCoreApplication::setOrganizationName(oldOrg);
        QSettings::setDefaultFormat(QSettings::NativeFormat);
    }
    QTemporaryDir dir;
    QString oldOrg;
};

// The caption "Qualität" sits on the group's frame line, as in the other
// dialogs, not above it.
TEST_F(JpegFormTest, QualityCaptionSitsOnItsGroupFrame) {
    TJPEGQForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QGroupBox* group = form.findChild<QGroupBox*>(QStringLiteral("GroupBox1"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("Qualität"));
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect label = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    const QRect frame = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, group);
    EXPECT_GT(frame.top(), label.top()) << "frame above the caption";
    EXPECT_LT(frame.top(), label.bottom()) << "caption above the frame";
    form.hide();
}

TEST_F(JpegFormTest, SliderAndNumberFollowEachOtherAndPersistEvenAfterCancel) {
    {
        TJPEGQForm form;
        EXPECT_EQ(form.windowTitle(), "JPEG-Speicherqualität setzen");
        EXPECT_EQ(form.size(), QSize(342, 251));
        EXPECT_EQ(form.quality(), 75);
        form.QualED1->setValue(40);
        EXPECT_EQ(form.QualED2->value(), 40);
        form.QualED2->setValue(12);
        EXPECT_EQ(form.QualED1->value(), 12);
        EXPECT_EQ(form.QualED1->minimum(), 1);
        EXPECT_EQ(form.QualED2->maximum(), 99);
        form.reject();
    }
    TJPEGQForm again;
    EXPECT_EQ(again.QualED1->value(), 12);
    EXPECT_EQ(again.QualED2->value(), 12);
    again.QualED1->setValue(88);
    again.accept();
    EXPECT_EQ(QSettings().value(TJPEGQForm::SliderKey).toInt(), 88);
    EXPECT_EQ(QSettings().value(TJPEGQForm::SpinKey).toInt(), 88);

    QSettings().setValue(TJPEGQForm::SliderKey, 5000);   // a damaged store
    TJPEGQForm clamped;
    EXPECT_EQ(clamped.quality(), 99);
}

TEST(ScannerSelectFormTest, ListsDevicesFromTheSourceAndPreselectsTheCurrent) {
    ScannerSelectForm form(nullptr, [](QString*) {
        return QList<ScannerDevice>{{"a:0", "Acme", "Flachbett", "flatbed scanner"},
                                    {"b:1", "Beta", "Einzug", "sheetfed scanner"}};
    });
    form.setCurrentDevice("b:1");
    QSignalSpy listed(&form, &ScannerSelectForm::devicesListed);
    form.refresh();
    ASSERT_TRUE(listed.wait(5000));
    EXPECT_EQ(form.DeviceList->count(), 2);
    EXPECT_EQ(form.selectedDevice(), "b:1");
    EXPECT_TRUE(form.OkBtn->isEnabled());
}

TEST(ScannerSelectFormTest, NoScannerIsSaidAndOkStaysOff) {
    ScannerSelectForm form(nullptr, [](QString*) { return QList<ScannerDevice>(); });
    QSignalSpy listed(&form, &ScannerSelectForm::devicesListed);
    form.refresh();
    ASSERT_TRUE(listed.wait(5000));
    EXPECT_EQ(form.InfoLabel->text(), "Es wurde kein Scanner gefunden.");
    EXPECT_FALSE(form.OkBtn->isEnabled());
    EXPECT_TRUE(form.selectedDevice().isEmpty());
}
