// HalvardTest: the engineering test bench for a modular card printer system.

#include <QApplication>

#include <cstdio>

#include "CHalvardTestApp.h"
#include "program_support.h"

int main(int argc, char* argv[]) {
    if (!halvard::HasDisplay()) {
        std::fprintf(stderr,
                     "HalvardTest needs a graphical desktop: no display was found (DISPLAY and "
                     "WAYLAND_DISPLAY are unset).\nStart it from a desktop session, or set "
                     "QT_QPA_PLATFORM=offscreen to run it without a screen.\n");
        return 2;
    }
    QApplication app(argc, argv);
    CHalvardTestApp bench;
    return bench.Run();
}
