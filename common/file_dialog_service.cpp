#include "file_dialog_service.h"

#include <QFileDialog>

namespace halvard {

namespace {
FileDialogService::Handler& CurrentHandler() {
    static FileDialogService::Handler handler;
    return handler;
}
}  // namespace

void FileDialogService::SetHandler(Handler handler) {
    CurrentHandler() = std::move(handler);
}

QString FileDialogService::Pick(QWidget* parent, const FileDialogRequest& request) {
    if (CurrentHandler())
        return CurrentHandler()(request);
    if (request.folder)
        return QFileDialog::getExistingDirectory(parent, request.caption, request.startPath,
                                                 QFileDialog::ShowDirsOnly);
    QFileDialog dialog(parent, request.caption, request.startPath, request.filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The save dialog asks its own overwrite question through the message service instead.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

}  // namespace halvard
