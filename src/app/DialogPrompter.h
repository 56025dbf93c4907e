#pragma once
// The program's answer to Prompter: modal message boxes and file dialogs.
// An empty caption shows the application title.

#include "model/Prompter.h"

#include <QPointer>
#include <QWidget>

class DialogPrompter : public Prompter {
public:
    explicit DialogPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    PromptAnswer ask(const QString& caption, const QString& text, PromptIcon icon,
                     PromptButtons buttons) override;
    void inform(const QString& caption, const QString& text, PromptIcon icon) override;
    PromptAnswer choose(const QString& caption, const QString& text, PromptIcon icon, const QString& firstButton,
                        const QString& secondButton) override;
    QString openPath(const QString& caption, const QString& folder, const QString& filter) override;
    QString savePath(const QString& caption, const QString& folder, const QString& filter,
                     const QString& suggestedName) override;

    // "Faltarillon-Dateien|*.box" (pairs of description and patterns) becomes
    // Qt's "Faltarillon-Dateien (*.box)"; a filter already in Qt's form is
    // kept. Several patterns joined by ';' are separated by spaces.
    static QString toQtFilter(const QString& filter);
    // The extension to add to a typed name: only a filter with one concrete
    // "*.ext" pattern has one.
    static QString defaultSuffixOf(const QString& filter);
    static QString captionOrTitle(const QString& caption);

private:
    QPointer<QWidget> m_parent;
};
