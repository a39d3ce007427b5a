#pragma once
// What the main window offers its test pages: the SDK binding with the open device, the log box,
// the preemption token, the macro-recording flag with the quick-record window, and the other
// pages (by template id) for the batch run and macro playback. Pages reach the main window only
// through this interface, so a page can be built against a stand-in host.

#include <QString>

#include <cstdint>

class CSubDlgBase;
class CVelaCommBinding;
class MacroRecorder;
class MagneticPageDriver;
class MovePageDriver;

class PageHost {
public:
    // The preemption token value that means "none held".
    static constexpr std::uint16_t kNoToken = 0xFFFF;

    virtual ~PageHost() = default;

    virtual CVelaCommBinding& Binding() = 0;

    // Appends text at the end of the log box, the caret left at the end. Callers supply their
    // own line ends. May be called from any thread.
    virtual void AppendLogText(const QString& text) = 0;
    // The same, printf-formatted.
    void AppendLog(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The token shown in the preemption box; kNoToken when none is held.
    virtual std::uint16_t GetPreemptionToken() const = 0;

    // The macro-recording flag (0 = not recording), set and cleared by the Macro page.
    virtual int MacroRecording() const = 0;
    virtual void SetMacroRecording(int recording) = 0;
    // Receives the moves the Move page records instead of performing them; null when none.
    virtual MacroRecorder* QuickRecorder() const = 0;
    // Shows (beside the main window) or hides the quick-record window.
    virtual void ShowQuickRecord(bool show) = 0;

    // The page created from template `templateId`; null when there is none.
    virtual CSubDlgBase* FindPage(int templateId) const = 0;
    // The drivers of the pages others drive; null when the page is missing or offers none.
    MovePageDriver* FindMoveDriver() const;
    MagneticPageDriver* FindMagneticDriver() const;
};
