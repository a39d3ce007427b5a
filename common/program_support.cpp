#include "program_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdlib>

Q_LOGGING_CATEGORY(lcSdkTrace, "halvard.sdk")

namespace halvard {

void SetProgramName(const QString& name) {
    QCoreApplication::setApplicationName(name);
}

QString ProgramFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString VersionTitle(const QString& caption, const QString& fileVersion,
                     const QString& specialBuild) {
    QString version = QStringLiteral("%1 (%2)").arg(fileVersion, specialBuild);
    version.replace(QStringLiteral(", "), QStringLiteral("."));
    return QStringLiteral("%1 v%2").arg(caption, version);
}

QString VersionTitle(const QString& caption) {
    return VersionTitle(caption, QStringLiteral(HALVARD_FILE_VERSION),
                        QStringLiteral(HALVARD_SPECIAL_BUILD));
}

int CreateFolderPath(const QString& path) {
    auto isSeparator = [](QChar c) { return c == u'/' || c == u'\\'; };
    QString native = path;
    for (qsizetype i = 0; i < native.size(); ++i) {
        if (!isSeparator(native[i]))
            continue;
        // Skip the root: a leading "/" and the "C:\" of a drive path.
        if (i == 0 || (native[i] == u'\\' && i <= 2))
            continue;
        QString prefix = native.left(i);
        QFileInfo info(prefix);
        if (!info.exists())
            QDir().mkdir(prefix);
    }
    if (!native.isEmpty() && isSeparator(native.back()) && native.size() > 1)
        native.chop(1);
    if (QFileInfo(native).isDir())
        return 1;
    return QDir().mkdir(native) ? 1 : 0;
}

QString LocalFolderPath(const QString& path) {
#if defined(Q_OS_WIN)
    return QDir::toNativeSeparators(path);
#else
    QString local = path;
    local.replace(u'\\', u'/');
    if (local.size() >= 2 && local[0].isLetter() && local[1] == u':')
        local = QDir::homePath() +
                (local.mid(2).startsWith(u'/') ? QString() : QStringLiteral("/")) + local.mid(2);
    return local;
#endif
}

bool HasDisplay() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#endif
}

void SdkTraceLine(std::string_view line) {
    qCDebug(lcSdkTrace).noquote() << QString::fromLatin1(line.data(),
                                                         static_cast<qsizetype>(line.size()));
}

}  // namespace halvard
