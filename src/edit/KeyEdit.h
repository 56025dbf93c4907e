#pragma once
// The hidden focus field of the editor: every press on the canvas gives it
// the keyboard focus, and its key presses are the canvas's keyboard
// commands. Whatever the user types lands here and has no other effect, so
// keys typed in other fields (the box size, the panel) never reach the
// canvas.

#include <QLineEdit>

#include <functional>

class KeyEdit : public QLineEdit {
    Q_OBJECT
public:
    // keyHandler gets Qt key codes with the modifiers held and returns true
    // when it used the key; it sees every key before the field's own editing
    // (Ctrl+arrows would otherwise jump words in the hidden text).
    explicit KeyEdit(std::function<bool(int key, Qt::KeyboardModifiers modifiers)> keyHandler,
                     QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool(int, Qt::KeyboardModifiers)> m_handler;
};
