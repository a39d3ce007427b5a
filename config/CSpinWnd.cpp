#include "CSpinWnd.h"

#include <QToolButton>

#include "CSpinEdit.h"

namespace {

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setAutoRaise(false);
    return button;
}

}  // namespace

CSpinWnd::CSpinWnd(CSpinEdit* buddy)
    : QWidget(buddy),
      m_buddy(buddy),
      m_up(makeArrow(this, Qt::UpArrow)),
      m_down(makeArrow(this, Qt::DownArrow)) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    m_up->setAccessibleName(QStringLiteral("Up"));
    m_down->setAccessibleName(QStringLiteral("Down"));
    connect(m_up, &QToolButton::clicked, this, &CSpinWnd::stepUpRequested);
    connect(m_down, &QToolButton::clicked, this, &CSpinWnd::stepDownRequested);
}

void CSpinWnd::placeOnBuddy() {
    const int h = m_buddy->height();
    const int w = h * 3 / 5;
    setGeometry(m_buddy->width() - w, 0, w, h);
}

void CSpinWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
