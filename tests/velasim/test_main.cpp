// The velasim tests run with a QApplication (the window test) on the headless platform, and ask
// for the simulator's control endpoint in a private folder of this run before the simulator is
// first loaded. Started with the host argument, the program only hosts a simulator.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstring>

#include "velasim_fixture.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], halvard::test::kHostSimulatorArgument) == 0)
        return halvard::test::HostSimulator();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir run;
    if (!run.isValid())
        return 1;
    // The socket folder does not exist yet: the simulator makes it private.
    qputenv("VELASIM_CONTROL", QFile::encodeName(run.filePath(QStringLiteral("sockets"))));
    qputenv("VELASIM_SPOOL_DIR", QFile::encodeName(run.filePath(QStringLiteral("spool"))));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
