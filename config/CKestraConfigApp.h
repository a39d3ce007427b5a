#pragma once
// The configuration tool's application object: runs the main window modally; the program ends
// when it closes.

class CKestraConfigApp {
public:
    CKestraConfigApp();
    int Run();
};
