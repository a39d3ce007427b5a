#pragma once
// The test bench's application object: reads "ShowExpert" from the settings file named after
// the executable, then runs the main window; the program ends when it closes, with the exit
// status of its event loop.

#include <QString>

class CHalvardTestApp {
public:
    CHalvardTestApp();

    // The settings file: the executable's folder plus its base name and ".ini".
    static QString SettingsPath();
    // Reads [CONFIG] ShowExpert from `path` (the settings file by default).
    void ReadSettings(const QString& path = SettingsPath());
    // "true", "yes", "on" and "1", in any case, switch a flag on.
    static bool IsOnValue(const QString& value);

    bool ShowExpert() const { return m_showExpert; }
    void SetShowExpert(bool on) { m_showExpert = on; }

    // Runs the main window until it closes; returns the event loop's exit status.
    int Run();

private:
    bool m_showExpert = false;
};
