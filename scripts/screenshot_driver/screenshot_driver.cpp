// Drives a running Halvard program through its visible controls and saves pictures of it, for
// scripts/screenshots.sh. Loaded into the unchanged program with LD_PRELOAD; it starts when the
// program creates its application object and reads its steps from HALVARD_SHOT_STEPS, separated
// by ';':
//   click TEXT    press the visible, enabled button or check box labelled TEXT
//   tab TEXT      pick the tab labelled TEXT
//   type TEXT     type TEXT into the focused field
//   key NAME      press a key, with modifiers if any: Return, Escape, Ctrl+Alt+Shift+F10
//   waitfor TEXT  wait until a visible label, field, list, button or window title shows TEXT
//   wait MS       let the program run for MS milliseconds
//   shot FILE     save a PNG of the program's visible windows
// Each step waits up to 15 s for what it needs. When a step cannot be done the program ends with
// status 3 and a line naming the step; after the last step it ends with status 0.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kTickMs = 100;
constexpr int kStepTimeoutMs = 15000;

QString Plain(QString text) {
    return text.remove(QLatin1Char('&')).trimmed();
}

QList<QWidget*> VisibleWidgets() {
    QList<QWidget*> out;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        out.append(top);
        for (QWidget* w : top->findChildren<QWidget*>())
            if (w->isVisible())
                out.append(w);
    }
    return out;
}

template <typename T>
T* FindVisible(const std::function<bool(T*)>& match) {
    for (QWidget* w : VisibleWidgets())
        if (auto* t = qobject_cast<T*>(w); t && match(t))
            return t;
    return nullptr;
}

bool ShowsText(QWidget* w, const QString& text) {
    if (w->isWindow() && w->windowTitle().contains(text))
        return true;
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text().contains(text);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text().contains(text);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return Plain(b->text()).contains(text);
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText().contains(text);
    if (auto* t = qobject_cast<QTextEdit*>(w))
        return t->toPlainText().contains(text);
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText().contains(text);
    return false;
}

// Union of the visible windows, as they are on the screen.
bool SaveShot(const QString& file) {
    QRect area;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowType() != Qt::ToolTip)
            area |= top->frameGeometry();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (area.isEmpty() || !screen)
        return false;
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return !shot.isNull() && shot.save(file, "PNG");
}

class Driver : public QObject {
public:
    explicit Driver(QStringList steps) : m_steps(std::move(steps)) {
        QTimer::singleShot(kTickMs, this, &Driver::Tick);
    }

private:
    // Each tick tries the current step; an action that opens a modal dialog runs queued, so the
    // next ticks go on inside the dialog's event loop.
    void Tick() {
        if (m_index >= m_steps.size()) {
            std::fprintf(stderr, "screenshot driver: done\n");
            QCoreApplication::exit(0);
            return;
        }
        if (m_deadlineMs == 0)
            m_deadlineMs = m_clock + kStepTimeoutMs;
        const QString step = m_steps.at(m_index).trimmed();
        const QString verb = step.section(QLatin1Char(' '), 0, 0);
        const QString arg = step.section(QLatin1Char(' '), 1);
        bool done = false;
        bool known = true;
        if (verb == QLatin1String("click")) {
            QPointer<QAbstractButton> b = FindVisible<QAbstractButton>(
                [&](QAbstractButton* x) { return x->isEnabled() && Plain(x->text()) == arg; });
            if (b) {
                QTimer::singleShot(0, b, [b] { QTest::mouseClick(b, Qt::LeftButton); });
                done = true;
            }
        } else if (verb == QLatin1String("tab")) {
            for (QTabBar* bar : FindAll<QTabBar>()) {
                for (int i = 0; i < bar->count() && !done; ++i) {
                    if (Plain(bar->tabText(i)) == arg && bar->isTabEnabled(i)) {
                        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                        done = true;
                    }
                }
            }
        } else if (verb == QLatin1String("type") || verb == QLatin1String("key")) {
            if (QWidget* focus = FocusTarget()) {
                if (verb == QLatin1String("type")) {
                    QTest::keyClicks(focus, arg);
                    done = true;
                } else if (const int key = KeyNamed(arg)) {
                    // A chord goes to the window, as the window system hands it there when
                    // the focused control does not take it.
                    QPointer<QWidget> target =
                        (key & Qt::KeyboardModifierMask) != 0 ? focus->window() : focus;
                    QTimer::singleShot(0, focus, [target, key] {
                        if (!target)
                            return;
                        const auto mods = Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask);
                        const int plain = key & ~Qt::KeyboardModifierMask;
                        if (mods == Qt::NoModifier) {
                            QTest::keyClick(target, Qt::Key(plain));
                            return;
                        }
                        QKeyEvent press(QEvent::KeyPress, plain, mods);
                        QKeyEvent release(QEvent::KeyRelease, plain, mods);
                        QCoreApplication::sendEvent(target, &press);
                        QCoreApplication::sendEvent(target, &release);
                    });
                    done = true;
                } else {
                    known = false;
                }
            }
        } else if (verb == QLatin1String("waitfor")) {
            done = FindVisible<QWidget>([&](QWidget* w) { return ShowsText(w, arg); }) != nullptr;
        } else if (verb == QLatin1String("wait")) {
            if (m_waitUntilMs == 0)
                m_waitUntilMs = m_clock + arg.toInt();
            done = m_clock >= m_waitUntilMs;
        } else if (verb == QLatin1String("shot")) {
            done = SaveShot(arg);
            if (done)
                std::fprintf(stderr, "screenshot driver: saved %s\n", qPrintable(arg));
        } else {
            known = false;
        }
        if (!known || (!done && m_clock >= m_deadlineMs)) {
            std::fprintf(stderr, "screenshot driver: step %lld '%s' %s\n",
                         static_cast<long long>(m_index + 1), qPrintable(step),
                         known ? "could not be done in time" : "is not understood");
            std::fflush(stderr);
            std::_Exit(3);
        }
        if (done) {
            ++m_index;
            m_deadlineMs = 0;
            m_waitUntilMs = 0;
        }
        m_clock += kTickMs;
        QTimer::singleShot(kTickMs, this, &Driver::Tick);
    }

    // Where a user's keys go: the focused field of the open modal dialog, else of the program.
    // Where a key goes: the focused field, else (a virtual display may have no active window)
    // the first visible top-level window.
    static QWidget* FocusTarget() {
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal->focusWidget() ? modal->focusWidget() : modal;
        if (QWidget* focus = QApplication::focusWidget())
            return focus;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                return w->focusWidget() ? w->focusWidget() : w;
        return nullptr;
    }

    template <typename T>
    static QList<T*> FindAll() {
        QList<T*> out;
        for (QWidget* w : VisibleWidgets())
            if (auto* t = qobject_cast<T*>(w))
                out.append(t);
        return out;
    }

    // A key with its modifiers, as written in a key sequence ("Return", "Ctrl+Alt+Shift+F10").
    static int KeyNamed(const QString& name) {
        const QKeySequence sequence = QKeySequence::fromString(name);
        return sequence.isEmpty() ? 0 : sequence[0].toCombined();
    }

    QStringList m_steps;
    qsizetype m_index = 0;
    qint64 m_clock = 0;  // milliseconds of ticks so far
    qint64 m_deadlineMs = 0;
    qint64 m_waitUntilMs = 0;
};

void StartDriver() {
    const QString steps = qEnvironmentVariable("HALVARD_SHOT_STEPS");
    if (steps.isEmpty())
        return;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "screenshot driver: not a widget program\n");
        std::_Exit(3);
    }
    new Driver(steps.split(QLatin1Char(';'), Qt::SkipEmptyParts));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
