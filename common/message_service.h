#pragma once
// Every message box of both programs goes through here. Styles and answers use the classic
// message-box codes (buttons in the low nibble, icon in the next), so that callers can keep the
// style words they were given. Tests install a handler that records and answers.

#include <QString>

#include <functional>

class QWidget;

namespace halvard {

namespace mb {
inline constexpr unsigned kOk = 0x0;
inline constexpr unsigned kOkCancel = 0x1;
inline constexpr unsigned kYesNo = 0x4;
inline constexpr unsigned kIconStop = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconWarning = 0x30;  // the exclamation icon
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kButtonMask = 0xF;
inline constexpr unsigned kIconMask = 0xF0;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

struct MessageRequest {
    QWidget* parent = nullptr;
    QString text;
    QString caption;
    unsigned style = mb::kOk;
};

class MessageService {
public:
    using Handler = std::function<int(const MessageRequest&)>;

    // Shows a modal message box; returns the answer (mb::kIdOk, ...). The caption defaults to the
    // application's display name.
    static int Show(QWidget* parent, const QString& text, unsigned style = mb::kOk,
                    const QString& caption = QString());

    // Replaces the real boxes (tests). An empty handler restores them.
    static void SetHandler(Handler handler);
};

}  // namespace halvard
