#pragma once
// What the configuration tool's main window offers its printer page: the SDK binding with the
// open device, the login password, the tool settings and a few shared operations.

#include <QString>

class CVelaCommBinding;

struct ToolSettings {
    int autoSave = 1;
    QString savePath = QStringLiteral("C:\\VELALog\\KestraConfig");
};

class ConfigHost {
public:
    virtual ~ConfigHost() = default;
    virtual CVelaCommBinding& Binding() = 0;
    virtual QString LoginPassword() const = 0;
    virtual const ToolSettings& Settings() const = 0;
    virtual int AccessLevel() const = 0;
    // Re-evaluates the main window's enabled and visible states.
    virtual void UpdateControls() = 0;
    // Shows a short notice in the main window's status strip.
    virtual void ShowStatusNotice(const QString& text) = 0;
};
