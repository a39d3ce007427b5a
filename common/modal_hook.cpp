#include "modal_hook.h"

namespace halvard {

namespace {
ModalHook::Handler& CurrentHandler() {
    static ModalHook::Handler handler;
    return handler;
}
}  // namespace

void ModalHook::SetHandler(Handler handler) {
    CurrentHandler() = std::move(handler);
}

int ModalHook::Run(QDialog& dialog) {
    if (CurrentHandler())
        return CurrentHandler()(dialog);
    return dialog.exec();
}

}  // namespace halvard
