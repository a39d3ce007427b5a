#pragma once
// The OK / Cancel row of the small modal dialogs, and their fixed-size layout.

#include <QDialog>

class QLayout;
class QPushButton;

struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
};

enum class DefaultButton { None, Ok, Cancel };

// Adds `content` and, 8 pixels below it, an OK / Cancel row (object names "ok" and "cancel",
// wired to accept and reject) to a fixed-size layout of `dialog`. `centred` centres the row
// instead of right-aligning it.
DialogButtons AddContentAndButtons(QDialog& dialog, QLayout* content, DefaultButton preferred,
                                   bool centred = false);
