#pragma once
// Every modal dialog of both programs is run through here, so tests can fill in and answer a
// dialog instead of blocking on it.

#include <QDialog>

#include <functional>

namespace halvard {

class ModalHook {
public:
    // Receives the dialog, already set up, and returns its result (QDialog::Accepted/Rejected).
    using Handler = std::function<int(QDialog&)>;

    static int Run(QDialog& dialog);
    static void SetHandler(Handler handler);  // empty restores the real exec()
};

}  // namespace halvard
