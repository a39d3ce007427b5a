// HalvardConfig: the printer configuration tool.

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "CKestraConfigApp.h"
#include "program_support.h"

int main(int argc, char* argv[]) {
    if (!halvard::HasDisplay()) {
        std::fprintf(stderr,
                     "HalvardConfig needs a graphical desktop: no display was found (DISPLAY and "
                     "WAYLAND_DISPLAY are unset).\nStart it from a desktop session, or set "
                     "QT_QPA_PLATFORM=offscreen to run it without a screen.\n");
        return 2;
    }
    QApplication app(argc, argv);
    CKestraConfigApp config;
    return config.Run();
}
