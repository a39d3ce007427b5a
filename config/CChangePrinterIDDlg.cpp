#include "CChangePrinterIDDlg.h"

#include "dialog_buttons.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "message_service.h"

namespace {
QLineEdit* IdEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(CChangePrinterIDDlg::kMaxIdLength);
    // IDs are plain key-board characters: no input-method composition.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    return edit;
}
}  // namespace

CChangePrinterIDDlg::CChangePrinterIDDlg(const QString& currentId, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Change Printer ID"));
    m_current = IdEdit("currentId", this);
    m_current->setReadOnly(true);
    m_change = IdEdit("changeId", this);
    m_change->installEventFilter(this);

    auto* currentLabel = new QLabel(QStringLiteral("Current ID :"), this);
    auto* changeLabel = new QLabel(QStringLiteral("Change ID :"), this);
    currentLabel->setBuddy(m_current);
    changeLabel->setBuddy(m_change);
    auto* form = new QFormLayout;
    form->addRow(currentLabel, m_current);
    form->addRow(changeLabel, m_change);

    AddContentAndButtons(*this, form, DefaultButton::Cancel);

    m_current->setText(currentId);
    m_change->setFocus();
}

void CChangePrinterIDDlg::accept() {
    const QString id = m_change->text();
    for (QChar c : id) {
        if (c == u':' || c == u'[' || c == u']') {
            halvard::MessageService::Show(
                this, QStringLiteral("Printer ID cannot contain ':[]' characters."),
                halvard::mb::kIconInformation);
            return;
        }
    }
    m_newId = id;
    QDialog::accept();
}

// Enter in "Change ID :" neither confirms nor cancels.
bool CChangePrinterIDDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_change && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
