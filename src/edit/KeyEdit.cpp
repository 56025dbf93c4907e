#include "edit/KeyEdit.h"

#include <QKeyEvent>

KeyEdit::KeyEdit(std::function<bool(int key)> keyHandler, QWidget* parent)
    : QLineEdit(parent), m_handler(std::move(keyHandler)) {
    setObjectName(QStringLiteral("KeyEdit"));
    setFocusPolicy(Qt::ClickFocus);
    setFixedSize(1, 1);
    setFrame(false);
}

void KeyEdit::keyPressEvent(QKeyEvent* event) {
    if (m_handler && m_handler(event->key())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
