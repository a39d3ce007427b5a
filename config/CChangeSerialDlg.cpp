#include "CChangeSerialDlg.h"

#include "dialog_buttons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "message_service.h"

namespace mb = halvard::mb;

CChangeSerialDlg::CChangeSerialDlg(const HeadChange& preset, bool showSerial, QWidget* parent)
    : QDialog(parent), m_values(preset) {
    setWindowTitle(QStringLiteral("Change Head Dialog"));
    auto edit = [this](const char* name, const QString& text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        e->installEventFilter(this);
        return e;
    };
    m_serial = edit("serial", preset.serial);
    m_headSerial = edit("headSerial", preset.headSerial);
    m_headResister = edit("headResister", preset.headResister);
    m_reset = new QCheckBox(QStringLiteral("Reset User Issue Count"), this);
    m_reset->setObjectName(QStringLiteral("resetUserIssueCount"));
    m_reset->setChecked(preset.resetUserCounts);
    m_reset->installEventFilter(this);

    auto* form = new QFormLayout;
    const std::pair<const char16_t*, QLineEdit*> rows[] = {{u"Serial No. : ", m_serial},
                                                           {u"Header Serial No. : ", m_headSerial},
                                                           {u"Header Resister : ", m_headResister}};
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(QString::fromUtf16(caption), this);
        label->setBuddy(field);
        form->addRow(label, field);
    }
    form->addRow(m_reset);
    // Hidden rows take no room: the rows below move up and the dialog shrinks.
    form->setRowVisible(0, showSerial);

    AddContentAndButtons(*this, form, DefaultButton::None);

    (showSerial ? m_serial : m_headSerial)->setFocus();
}

void CChangeSerialDlg::accept() {
    if (halvard::MessageService::Show(this, QStringLiteral("Are you sure?"),
                                      mb::kOkCancel | mb::kIconInformation,
                                      QStringLiteral("Confirm")) != mb::kIdOk)
        return;
    m_values.serial = m_serial->text();
    m_values.headSerial = m_headSerial->text();
    m_values.headResister = m_headResister->text();
    m_values.resetUserCounts = m_reset->isChecked();
    QDialog::accept();
}

// Enter on a field or the check box steps to the next control instead of closing the dialog.
bool CChangeSerialDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
