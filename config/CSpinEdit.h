#pragma once
// The numeric entry field of the printer page: a line edit with its own up-down button. It
// keeps a range and a step, steps by the arrow keys and the button, and tells its owner once
// per committed value (arrow press, Enter, leaving the field after typing) rather than on
// every keystroke.

#include <QLineEdit>
#include <QStringView>

#include <cstdint>

class CSpinWnd;

class CSpinEdit final : public QLineEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSpinEdit)

public:
    static constexpr int kDefaultMinimum = -65536;
    static constexpr int kDefaultMaximum = 65535;
    static constexpr int kMaxDecimals = 9;

    explicit CSpinEdit(QWidget* parent = nullptr);
    ~CSpinEdit() override;

    void setRange(int minimum, int maximum);
    void setStep(int step) { m_step = step; }
    void setWrap(bool wrap) { m_wrap = wrap; }
    // Digits after a decimal point accepted when parsing (0..9).
    void setDecimals(int decimals);
    // Identifies the edit in valueCommitted (the page uses the slot position).
    void setControlId(int id) { m_controlId = id; }

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int step() const { return m_step; }
    bool wrap() const { return m_wrap; }
    int decimals() const { return m_decimals; }
    int controlId() const { return m_controlId; }
    bool pendingNotice() const { return m_pendingNotice; }

    // Shows v as decimal text followed by one blank and owes the owner a committed notice.
    void setValue(int v);
    // The parsed text clamped to [minimum, maximum]; an empty text is 0, unclamped.
    int value() const;
    // Forgets an owed committed notice (after the page has shown a value of its own).
    void clearPendingNotice() { m_pendingNotice = false; }

    // Up (+1) or down (-1) by one step, as the arrow keys and the button do.
    void stepBy(int direction);

    CSpinWnd* spinButton() const { return m_spin; }

    // The parsing rule on its own: sign, digits, up to `decimals` fraction digits. Returns the
    // unclamped number; `empty` tells whether the text was empty.
    static long long parseText(QStringView text, int decimals, bool* empty = nullptr);

signals:
    // A normal change notification: programmatic text changes, Tab and arrow presses. Typing
    // while the edit has the focus is not reported here.
    void changed();
    // A value was committed: arrow press, Enter, or leaving the field while a notice is owed.
    void valueCommitted(int controlId);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void onTextChanged();
    void notifyChange();
    void commit();
    void setTextNotifying(const QString& text);
    bool focusWithin() const;

    int m_minimum = kDefaultMinimum;
    int m_maximum = kDefaultMaximum;
    int m_step = 1;
    int m_decimals = 0;
    bool m_wrap = false;
    bool m_pendingNotice = true;
    bool m_spinning = false;
    bool m_tabReformat = true;
    bool m_textSignalled = false;
    bool m_userEdit = false;
    int m_controlId = 0;
    CSpinWnd* m_spin = nullptr;  // child widget, owned through the QObject tree
};
