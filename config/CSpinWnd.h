#pragma once
// The up-down button attached to a CSpinEdit: two arrow buttons stacked on the edit's right
// edge. It never takes the focus, so typing stays in its edit.

#include <QWidget>

class CSpinEdit;
class QToolButton;

class CSpinWnd final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSpinWnd)

public:
    // Created as a child of its buddy edit: shown, hidden and destroyed with it.
    explicit CSpinWnd(CSpinEdit* buddy);

    CSpinEdit* buddy() const { return m_buddy; }
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    // Places the button over the right-most H x 3 / 5 pixels of the edit (H = edit height).
    void placeOnBuddy();

signals:
    void stepUpRequested();
    void stepDownRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CSpinEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
};
