#pragma once
// An integer edit with up and down buttons that reports every change of its
// shown text, also while the user types and when the program sets a value,
// and that lets the user type values outside its range: the range applies to
// the arrows and to values set by the program. When minimum and maximum are
// equal there is no range at all.

#include <QWidget>

class QLineEdit;
class QToolButton;

class SpinEdit : public QWidget {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setIncrement(int step) { m_step = step; }

    // The shown text as an integer; a text that is no integer counts as the
    // minimum. Not clamped.
    int value() const;
    // Shows the value, clamped to the range. Changes the text (and so emits
    // textChanged) only when the shown text differs.
    void setValue(int value);

    QString text() const;
    QLineEdit* lineEdit() const { return m_edit; }

signals:
    void textChanged(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int clamp(int v) const;
    void step(int direction);

    QLineEdit* m_edit;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min = 0;
    int m_max = 0;
    int m_step = 1;
};
