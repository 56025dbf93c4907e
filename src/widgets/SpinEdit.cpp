#include "widgets/SpinEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

SpinEdit::SpinEdit(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_up(new QToolButton(this)),
      m_down(new QToolButton(this)) {
    m_edit->setObjectName(QStringLiteral("edit"));
    m_edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[-+]?[0-9]{0,9}")), m_edit));
    m_edit->setText(QStringLiteral("0"));
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(16);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    }

    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    buttons->addWidget(m_up);
    buttons->addWidget(m_down);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit, 1);
    row->addLayout(buttons);

    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, &SpinEdit::textChanged);
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void SpinEdit::setRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = maximum;
}

int SpinEdit::clamp(int v) const {
    if (m_min == m_max) return v;
    if (v < m_min) return m_min;
    if (v > m_max) return m_max;
    return v;
}

int SpinEdit::value() const {
    bool ok = false;
    const int v = m_edit->text().toInt(&ok);
    return ok ? v : m_min;
}

void SpinEdit::setValue(int value) {
    const QString shown = QString::number(clamp(value));
    if (m_edit->text() != shown) m_edit->setText(shown);
}

QString SpinEdit::text() const { return m_edit->text(); }

void SpinEdit::step(int direction) {
    const long long next = static_cast<long long>(value()) + static_cast<long long>(direction) * m_step;
    const long long bounded = std::max<long long>(std::numeric_limits<int>::min(),
                                                  std::min<long long>(std::numeric_limits<int>::max(), next));
    setValue(static_cast<int>(bounded));
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        step(+1);
        return;
    }
    if (event->key() == Qt::Key_Down) {
        step(-1);
        return;
    }
    QWidget::keyPressEvent(event);
}
