#include "CSpinEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>

#include "CSpinWnd.h"

CSpinEdit::CSpinEdit(QWidget* parent) : QLineEdit(parent), m_spin(new CSpinWnd(this)) {
    setAlignment((alignment() & ~Qt::AlignHCenter & ~Qt::AlignLeft) | Qt::AlignRight);
    // textEdited (user input only) arrives just before the textChanged of the same change.
    connect(this, &QLineEdit::textEdited, this, [this] { m_userEdit = true; });
    connect(this, &QLineEdit::textChanged, this, &CSpinEdit::onTextChanged);
    connect(m_spin, &CSpinWnd::stepUpRequested, this, [this] { stepBy(1); });
    connect(m_spin, &CSpinWnd::stepDownRequested, this, [this] { stepBy(-1); });
    m_spin->placeOnBuddy();
}

CSpinEdit::~CSpinEdit() = default;

void CSpinEdit::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void CSpinEdit::setDecimals(int decimals) {
    m_decimals = std::clamp(decimals, 0, kMaxDecimals);
}

long long CSpinEdit::parseText(QStringView text, int decimals, bool* empty) {
    // Accumulation stops growing beyond 32 bits, so overlong digit runs (and the scaling by up
    // to nine decimals) cannot overflow 64 bits.
    constexpr long long kCap = 1LL << 33;
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (empty) {
        *empty = text.isEmpty();
    }
    enum class State { Start, Number, Fraction } state = State::Start;
    bool negative = false;
    long long number = 0;
    int fractionDigits = 0;
    for (const QChar c : text) {
        const bool digit = c >= u'0' && c <= u'9';
        if (state == State::Start) {
            if (c == u'-') {
                negative = true;
                state = State::Number;
            } else if (c == u'+') {
                state = State::Number;
            } else if (digit) {
                number = c.unicode() - u'0';
                state = State::Number;
            }
            continue;
        }
        if (state == State::Number) {
            if (digit) {
                number = std::min(kCap, number * 10 + (c.unicode() - u'0'));
                continue;
            }
            if (c == u'.') {
                state = State::Fraction;
                continue;
            }
            break;
        }
        if (!digit || fractionDigits >= decimals) {
            break;
        }
        number = number * 10 + (c.unicode() - u'0');
        ++fractionDigits;
    }
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    for (int i = fractionDigits; i < decimals; ++i) {
        number *= 10;
    }
    number /= scale;
    return negative ? -number : number;
}

int CSpinEdit::value() const {
    bool empty = false;
    const long long v = parseText(text(), m_decimals, &empty);
    if (empty) {
        return 0;
    }
    if (v < m_minimum) {
        return m_minimum;
    }
    if (v > m_maximum) {
        return m_maximum;
    }
    return static_cast<int>(v);
}

void CSpinEdit::setValue(int v) {
    setTextNotifying(QString::number(v) + u' ');
    m_pendingNotice = true;
}

void CSpinEdit::stepBy(int direction) {
    m_spinning = true;
    // 64-bit so that a step past the 32-bit limits stops or wraps instead of overflowing.
    long long v = static_cast<long long>(value()) + static_cast<long long>(direction) * m_step;
    if (v > m_maximum) {
        v = m_wrap ? m_minimum : m_maximum;
    } else if (v < m_minimum) {
        v = m_wrap ? m_maximum : m_minimum;
    }
    setValue(static_cast<int>(v));
    commit();
}

void CSpinEdit::commit() {
    // The notice owed is paid now; leaving the field later does not repeat it.
    m_pendingNotice = false;
    emit valueCommitted(m_controlId);
}

void CSpinEdit::setTextNotifying(const QString& newText) {
    // Setting an unchanged text still counts as a change, so the flags never stay behind.
    m_textSignalled = false;
    setText(newText);
    if (!m_textSignalled) {
        onTextChanged();
    }
}

bool CSpinEdit::focusWithin() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void CSpinEdit::onTextChanged() {
    m_textSignalled = true;
    const bool typed = m_userEdit;
    m_userEdit = false;
    // Typing in the focused field only owes a notice; everything else is reported at once.
    if (typed && focusWithin() && !m_spinning && !m_tabReformat) {
        m_pendingNotice = true;
        return;
    }
    notifyChange();
}

void CSpinEdit::notifyChange() {
    m_spinning = false;
    m_tabReformat = false;
    emit changed();
}

bool CSpinEdit::event(QEvent* e) {
    // Tab is seen here, before the widget moves the focus on.
    if (e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            m_tabReformat = true;
            setTextNotifying(text());
        }
    }
    return QLineEdit::event(e);
}

void CSpinEdit::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Consumed: Enter commits the value and never reaches a default button.
            commit();
            e->accept();
            return;
        case Qt::Key_Up:
            stepBy(1);
            e->accept();
            return;
        case Qt::Key_Down:
            stepBy(-1);
            e->accept();
            return;
        default:
            QLineEdit::keyPressEvent(e);
    }
}

void CSpinEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // A context menu borrows the focus for a moment; the field is not left.
    if (e->reason() != Qt::PopupFocusReason && m_pendingNotice) {
        commit();
    }
}

void CSpinEdit::resizeEvent(QResizeEvent* e) {
    QLineEdit::resizeEvent(e);
    m_spin->placeOnBuddy();
    setTextMargins(0, 0, m_spin->width() + 1, 0);
}
