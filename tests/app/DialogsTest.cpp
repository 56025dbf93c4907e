// The about box and the real prompter's conversions.
#include "app/DialogPrompter.h"
#include "dialogs/AboutBoxUnit.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QPixmap>
#include <QSignalSpy>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

TEST(AboutBox, YearReplacesTheFirstPlaceholderOnly) {
    EXPECT_EQ(TAboutBox::withYear(QStringLiteral("© XXXX und XXXX"), 2026), QStringLiteral("© 2026 und XXXX"));
    EXPECT_EQ(TAboutBox::withYear(QStringLiteral("ohne"), 2026), QStringLiteral("ohne"));
}

TEST(AboutBox, FixedInfoBoxWithWebButtonAndOk) {
    TAboutBox box;
    box.setOpensBrowser(false);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(box.size(), QSize(664, 453));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.font().pixelSize(), 11);
    EXPECT_TRUE(box.Copyright->text().contains(QString::number(QDate::currentDate().year())));
    EXPECT_FALSE(box.Copyright->text().contains(QStringLiteral("XXXX")));
    // The licence the package declares, in place of a reservation of all rights.
    EXPECT_EQ(box.Copyright->text(),
              QStringLiteral("Copyright © %1 ORB-LUX Software. Lizenz: GNU GPL, Version 3 oder neuer")
                  .arg(QDate::currentDate().year()));

    QSignalSpy web(&box, &TAboutBox::webPageRequested);
    box.WebButton->click();
    ASSERT_EQ(web.count(), 1);
    EXPECT_EQ(web.at(0).at(0).toUrl(), TAboutBox::webPage());
    EXPECT_TRUE(TAboutBox::webPage().scheme().startsWith(QStringLiteral("http")));

    box.show();
    box.OKButton->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(DialogPrompter, FiltersInBothNotations) {
    EXPECT_EQ(DialogPrompter::toQtFilter(QStringLiteral("Faltarillon-Dateien|*.box")),
              QStringLiteral("Faltarillon-Dateien (*.box)"));
    EXPECT_EQ(DialogPrompter::toQtFilter(QStringLiteral("Bilder|*.bmp;*.gif|Alle|*.*")),
              QStringLiteral("Bilder (*.bmp *.gif);;Alle (*.*)"));
    EXPECT_EQ(DialogPrompter::toQtFilter(QStringLiteral("PNG (*.png)")), QStringLiteral("PNG (*.png)"));
    EXPECT_EQ(DialogPrompter::defaultSuffixOf(QStringLiteral("Faltarillon-Dateien|*.box")), QStringLiteral("box"));
    EXPECT_EQ(DialogPrompter::defaultSuffixOf(QStringLiteral("Bilder|*.bmp;*.gif")), QString());
    EXPECT_EQ(DialogPrompter::defaultSuffixOf(QStringLiteral("Alle|*.*")), QString());
}

TEST(DialogPrompter, EmptyCaptionIsTheApplicationTitle) {
    QCoreApplication::setApplicationName(QStringLiteral("Faltarillon-Designer 1.0"));
    EXPECT_EQ(DialogPrompter::captionOrTitle(QString()), QStringLiteral("Faltarillon-Designer 1.0"));
    EXPECT_EQ(DialogPrompter::captionOrTitle(QStringLiteral("Fehler")), QStringLiteral("Fehler"));
}

TEST(AboutBox, ShowsTheProgramPicture) {
    TAboutBox box;
    const QLabel* picture = box.findChild<QLabel*>(QStringLiteral("ProgramIcon"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
}

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QFont font;
};

// Answers the next message box with `button` (or Escape when NoButton) and
// records what it showed.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton button) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll->stop();
        poll->deleteLater();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.font = box->font();
        if (button == QMessageBox::NoButton) box->reject();
        else box->button(button)->click();
    });
    poll->start(10);
}

}  // namespace

TEST(DialogPrompter, QuestionBoxShowsTextCaptionIconAndButtons) {
    DialogPrompter prompter;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::No);
    EXPECT_EQ(prompter.ask(QStringLiteral("Neue Faltarillon"), QStringLiteral("Wollen Sie vorher speichern?"),
                           PromptIcon::Question, PromptButtons::YesNoCancel),
              PromptAnswer::No);
    EXPECT_EQ(seen.title, QStringLiteral("Neue Faltarillon"));
    EXPECT_EQ(seen.text, QStringLiteral("Wollen Sie vorher speichern?"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(seen.font.pixelSize(), 11);   // the dialogs' own small font

    answerNextBox(seen, QMessageBox::NoButton);   // Escape
    EXPECT_EQ(prompter.ask(QString(), QStringLiteral("?"), PromptIcon::Question, PromptButtons::YesNoCancel),
              PromptAnswer::Cancel);
    answerNextBox(seen, QMessageBox::NoButton);
    EXPECT_EQ(prompter.ask(QString(), QStringLiteral("?"), PromptIcon::Question, PromptButtons::YesNo),
              PromptAnswer::No);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(DialogPrompter, MessageWithoutCaptionShowsTheApplicationTitle) {
    QCoreApplication::setApplicationName(QStringLiteral("Faltarillon-Designer 1.0"));
    DialogPrompter prompter;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    prompter.inform(QString(), QStringLiteral("Konnte Bild (a.bmp) nicht Laden."), PromptIcon::Error);
    EXPECT_EQ(seen.title, QStringLiteral("Faltarillon-Designer 1.0"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}
