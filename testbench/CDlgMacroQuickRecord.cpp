#include "CDlgMacroQuickRecord.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "macro_logic.h"
#include "widget_support.h"

namespace {
constexpr int kFontPixels = 11;
constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr int kTabStopChars = 5;
}  // namespace

CDlgMacroQuickRecord::CDlgMacroQuickRecord(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("macroQuickRecord"));
    setWindowTitle(QStringLiteral("Macro Recording"));
    setModal(false);
    // No close box: the Macro page shows and hides it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // A display beside the main window: showing it leaves the keyboard where it was.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("macroCount"));
    m_lines = new QPlainTextEdit(this);
    m_lines->setObjectName(QStringLiteral("macroLines"));
    m_lines->setAccessibleName(QStringLiteral("Recorded moves"));
    m_lines->setReadOnly(true);
    m_lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_lines->setUndoRedoEnabled(false);
    const QFont font = halvard::FixedPitchFont(kFontPixels);
    m_lines->setFont(font);
    m_lines->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(u' ') * kTabStopChars);
    m_count->setBuddy(m_lines);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_count);
    layout->addWidget(m_lines, 1);
    resize(kWidth, kHeight);
    Refresh();
}

void CDlgMacroQuickRecord::AddRecordedMove(std::uint8_t firstModule, std::uint32_t firstOption,
                                           std::uint8_t secondModule, std::uint32_t secondOption) {
    if (m_macroList == nullptr)
        return;
    _tagMacroItem item;
    item.type = _tagMacroItem::kMove;
    item.firstModule = firstModule;
    item.firstOption = firstOption;
    item.secondModule = secondModule;
    item.secondOption = secondOption;
    item.thirdModule = vela::kModuleNone;
    item.thirdOption = 0;
    m_macroList->push_back(item);
    SetCount();
    AppendLine(item);
}

void CDlgMacroQuickRecord::Refresh() {
    SetCount();
    m_lines->clear();
    if (m_macroList == nullptr)
        return;
    for (const _tagMacroItem& item : *m_macroList)
        AppendLine(item);
}

void CDlgMacroQuickRecord::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return;
    }
    if (parentWidget() != nullptr) {
        QCoreApplication::sendEvent(parentWidget(), event);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDlgMacroQuickRecord::closeEvent(QCloseEvent* event) {
    // Only the Macro page hides it (which is no close request).
    event->ignore();
}

QString CDlgMacroQuickRecord::CountText() const {
    return m_count->text();
}

QString CDlgMacroQuickRecord::LinesText() const {
    return m_lines->toPlainText();
}

void CDlgMacroQuickRecord::SetCount() {
    const int count = m_macroList != nullptr ? static_cast<int>(m_macroList->size()) : 0;
    m_count->setText(QString::asprintf("%d Macros are Recorded.", count));
}

void CDlgMacroQuickRecord::AppendLine(const _tagMacroItem& item) {
    QTextCursor cursor(m_lines->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(macro::QuickLine(item) + u'\n');
    m_lines->setTextCursor(cursor);
    if (QScrollBar* bar = m_lines->verticalScrollBar())
        bar->setValue(bar->maximum());
}
