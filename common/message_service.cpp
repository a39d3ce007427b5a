#include "message_service.h"

#include <QApplication>
#include <QMessageBox>

namespace halvard {

namespace {
MessageService::Handler& CurrentHandler() {
    static MessageService::Handler handler;
    return handler;
}

QMessageBox::Icon IconFor(unsigned style) {
    switch (style & mb::kIconMask) {
        case mb::kIconStop:
            return QMessageBox::Critical;
        case mb::kIconQuestion:
            return QMessageBox::Question;
        case mb::kIconWarning:
            return QMessageBox::Warning;
        case mb::kIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}
}  // namespace

void MessageService::SetHandler(Handler handler) {
    CurrentHandler() = std::move(handler);
}

int MessageService::Show(QWidget* parent, const QString& text, unsigned style,
                         const QString& caption) {
    MessageRequest request{
        parent, text, caption.isEmpty() ? QApplication::applicationDisplayName() : caption, style};
    if (CurrentHandler())
        return CurrentHandler()(request);

    QMessageBox box(IconFor(style), request.caption, text, QMessageBox::NoButton, parent);
    switch (style & mb::kButtonMask) {
        case mb::kOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case mb::kYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return mb::kIdCancel;
        case QMessageBox::Yes:
            return mb::kIdYes;
        case QMessageBox::No:
            return mb::kIdNo;
        default:
            return mb::kIdOk;
    }
}

}  // namespace halvard
