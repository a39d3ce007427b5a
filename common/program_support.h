#pragma once
// Small services both programs use: their folder, the window title from the version
// information, folder creation and the SDK trace channel.

#include <QLoggingCategory>
#include <QString>

#include <string_view>

Q_DECLARE_LOGGING_CATEGORY(lcSdkTrace)

namespace halvard {

// Names the program (its application name, which message boxes show as their caption). No
// display name is set: the window system would append one to every window and dialog title,
// and the titles must read exactly as the program sets them.
void SetProgramName(const QString& name);

// Folder of the running program, ending in a separator.
QString ProgramFolder();

// "<caption> v<FileVersion> (<SpecialBuild>)" with every ", " turned into "."; e.g. for file
// version "1, 0, 0, 1" and special build "7": "<caption> v1.0.0.1 (7)".
QString VersionTitle(const QString& caption);
QString VersionTitle(const QString& caption, const QString& fileVersion,
                     const QString& specialBuild);

// Creates every missing folder of `path` from the top down. Returns 1 when the folder already
// existed, otherwise non-zero on success and 0 on failure. Separators are "/" and "\"; a drive
// root ("C:\") or the file-system root is never created.
int CreateFolderPath(const QString& path);

// A settings folder as this platform names it. Off Windows a drive path ("C:\VELALog\x")
// stands for the same folder under the user's home ("~/VELALog/x"), and "\" separators become
// "/"; other texts are returned with their separators converted.
QString LocalFolderPath(const QString& path);

// False when no display is reachable and no platform was chosen explicitly (the program
// then explains and exits instead of aborting inside the toolkit).
bool HasDisplay();

// Sends one SDK trace line to the debug channel (stderr off Windows) under "halvard.sdk".
void SdkTraceLine(std::string_view line);

}  // namespace halvard
