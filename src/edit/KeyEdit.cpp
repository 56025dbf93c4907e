#include "edit/KeyEdit.h"

#include <QKeyEvent>

KeyEdit::KeyEdit(std::function<bool(int key, Qt::KeyboardModifiers modifiers)> keyHandler, QWidget* parent)
    : QLineEdit(parent), m_handler(std::move(keyHandler)) {
    setObjectName(QStringLiteral("KeyEdit"));
    setFocusPolicy(Qt::ClickFocus);
    setFixedSize(1, 1);
    setFrame(false);
}

void KeyEdit::keyPressEvent(QKeyEvent* event) {
    // The field's own undo and clipboard would only act on the hidden text:
    // those keys belong to the menu, and when its item is disabled they do
    // nothing here either.
    for (QKeySequence::StandardKey k : {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut,
                                        QKeySequence::Copy, QKeySequence::Paste, QKeySequence::SelectAll}) {
        if (event->matches(k)) {
            event->accept();
            return;
        }
    }
    const int combination = event->key() | int(event->modifiers() & ~Qt::KeypadModifier);
    if (combination == int(Qt::CTRL | Qt::Key_Y) || combination == int(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)) {
        event->accept();
        return;
    }
    if (m_handler && m_handler(event->key(), event->modifiers() & ~Qt::KeypadModifier)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
