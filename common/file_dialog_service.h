#pragma once
// Every file-open and file-save dialog goes through here, so tests can name the file a user
// would pick (or cancel) before they act.

#include <QString>

#include <functional>

class QWidget;

namespace halvard {

struct FileDialogRequest {
    bool save = false;    // save dialog (else open)
    bool folder = false;  // choose an existing folder (the platform's folder chooser)
    QString caption;
    QString startPath;  // folder, or folder plus suggested file name
    QString filter;     // Qt filter text
    QString defaultSuffix;
};

class FileDialogService {
public:
    // The picked path, or an empty string when the user cancelled.
    using Handler = std::function<QString(const FileDialogRequest&)>;
    static QString Pick(QWidget* parent, const FileDialogRequest& request);
    static void SetHandler(Handler handler);  // empty restores the real dialogs
};

}  // namespace halvard
