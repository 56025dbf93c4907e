#pragma once
// A main window with scripted answers, run through its start-up.

#include "app/SDIMain.h"
#include "model/Prompter.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

struct StartedWindow {
    RecordingPrompter prompter;
    std::unique_ptr<TSDIAppForm> window;

    // show: run the start-up New through the window's own timer.
    explicit StartedWindow(bool show = true) {
        QCoreApplication::setApplicationName(QStringLiteral("Faltarillon-Designer 1.0"));
        window = std::make_unique<TSDIAppForm>(&prompter, false);
        if (show) {
            window->show();
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->startupDone(); }, 3000));
        }
    }
    ~StartedWindow() {
        // Closing asks the Exit question: answer No so the window goes.
        if (window && window->isVisible()) {
            prompter.answers.clear();
            prompter.answers.push_back(PromptAnswer::No);
            window->close();
        }
    }
    BoxDocument& doc() { return window->document(); }
};

// A filled figure of w x h screen pixels at canvas point (x, y) in the
// lowest free slot; returns the slot.
int placeFigure(BoxDocument& doc, int x, int y, int w, int h, std::int32_t color = 0x0000FF);
// The same as a step of the window's history, as the figure tool places it:
// the document then differs from what was opened or saved.
int placeFigure(StartedWindow& w, int x, int y, int width, int height, std::int32_t color = 0x0000FF);
