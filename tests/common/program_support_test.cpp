// Version title, folder creation and the message, dialog and wait seams.
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include "message_service.h"
#include "modal_hook.h"
#include "program_support.h"
#include "wait_service.h"

namespace {

TEST(VersionTitle, JoinsVersionAndBuildAndTurnsCommaBlankIntoDots) {
    EXPECT_EQ(halvard::VersionTitle(QStringLiteral("Halvard Config Utility"),
                                    QStringLiteral("1, 0, 0, 1"), QStringLiteral("7")),
              QStringLiteral("Halvard Config Utility v1.0.0.1 (7)"));
    EXPECT_EQ(halvard::VersionTitle(QStringLiteral("HalvardTest"), QString(), QString()),
              QStringLiteral("HalvardTest v ()"));
}

TEST(CreateFolderPath, CreatesEveryMissingLevel) {
    QTemporaryDir dir;
    const QString deep = dir.path() + QStringLiteral("/VELALog/KestraConfig/sub/");
    EXPECT_NE(halvard::CreateFolderPath(deep), 0);
    EXPECT_TRUE(QDir(deep).exists());
    EXPECT_EQ(halvard::CreateFolderPath(deep), 1) << "an existing folder reports 1";
}

TEST(CreateFolderPath, FailsUnderAFile) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(halvard::CreateFolderPath(dir.filePath(QStringLiteral("plain/below"))), 0);
}

TEST(LocalFolderPath, DrivePathsLiveUnderTheHomeFolderOffWindows) {
#if !defined(Q_OS_WIN)
    EXPECT_EQ(halvard::LocalFolderPath(QStringLiteral("C:\\VELALog\\KestraConfig")),
              QDir::homePath() + QStringLiteral("/VELALog/KestraConfig"));
    EXPECT_EQ(halvard::LocalFolderPath(QStringLiteral("/srv/logs")), QStringLiteral("/srv/logs"));
    EXPECT_EQ(halvard::LocalFolderPath(QStringLiteral("logs\\today")),
              QStringLiteral("logs/today"));
#else
    EXPECT_EQ(halvard::LocalFolderPath(QStringLiteral("C:/VELALog")),
              QStringLiteral("C:\\VELALog"));
#endif
}

TEST(MessageService, HandlerSeesTextStyleAndAnswers) {
    halvard::MessageRequest seen;
    halvard::MessageService::SetHandler([&](const halvard::MessageRequest& r) {
        seen = r;
        return halvard::mb::kIdNo;
    });
    int answer = halvard::MessageService::Show(nullptr, QStringLiteral("Continue Anyway ?"),
                                               halvard::mb::kYesNo | halvard::mb::kIconWarning);
    halvard::MessageService::SetHandler({});
    EXPECT_EQ(answer, halvard::mb::kIdNo);
    EXPECT_EQ(seen.text, QStringLiteral("Continue Anyway ?"));
    EXPECT_EQ(seen.style, halvard::mb::kYesNo | halvard::mb::kIconWarning);
}

TEST(ModalHook, HandlerAnswersInsteadOfBlocking) {
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("probe"));
    QString name;
    halvard::ModalHook::SetHandler([&](QDialog& d) {
        name = d.objectName();
        return static_cast<int>(QDialog::Accepted);
    });
    EXPECT_EQ(halvard::ModalHook::Run(dialog), QDialog::Accepted);
    halvard::ModalHook::SetHandler({});
    EXPECT_EQ(name, QStringLiteral("probe"));
}

TEST(WaitService, HandlerReceivesEveryWait) {
    std::vector<int> waits;
    halvard::WaitService::SetHandler([&](int ms) { waits.push_back(ms); });
    halvard::WaitService::Wait(100);
    halvard::WaitService::Wait(1000);
    halvard::WaitService::SetHandler({});
    EXPECT_EQ(waits, (std::vector<int>{100, 1000}));
}

TEST(WaitService, WorkerWaitEndsAtOnceOnStop) {
    std::stop_source stop;
    bool completed = true;
    QElapsedTimer timer;
    timer.start();
    std::thread worker([&] { completed = halvard::WaitService::WaitFor(stop.get_token(), 60000); });
    stop.request_stop();
    worker.join();
    EXPECT_FALSE(completed);
    EXPECT_LT(timer.elapsed(), 10000);
}

}  // namespace
