#pragma once
// A stand-in for the main window, for building a test page on its own: its own binding (unloaded
// until a test loads it), a log text, a preemption token, the macro-recording flag with a
// recorder that keeps the recorded moves, and a page list.

#include <QString>

#include <map>
#include <mutex>

#include "CVelaCommBinding.h"
#include "MacroRecorder.h"
#include "PageHost.h"
#include "macro_item.h"
#include "sdk_text.h"
#include "sim_control.h"

namespace halvard::test {

class FakePageHost final : public PageHost, public MacroRecorder {
public:
    CVelaCommBinding& Binding() override { return binding; }
    void AppendLogText(const QString& text) override {
        const std::lock_guard lock(m_logMutex);
        m_log += text;
    }
    QString Log() const {
        const std::lock_guard lock(m_logMutex);
        return m_log;
    }
    std::uint16_t GetPreemptionToken() const override { return token; }
    int MacroRecording() const override { return recording; }
    void SetMacroRecording(int value) override { recording = value; }
    MacroRecorder* QuickRecorder() const override {
        return const_cast<FakePageHost*>(this);  // the recorder is this host
    }
    void ShowQuickRecord(bool show) override { quickRecordShown = show ? 1 : 0; }
    CSubDlgBase* FindPage(int templateId) const override {
        const auto it = pages.find(templateId);
        return it == pages.end() ? nullptr : it->second;
    }
    // Loads the simulator into the binding and opens one of its devices; false on failure.
    bool OpenSimulatorDevice(const char* device = "[USB1] Halvard Card Printer") {
        if (!binding.IsLoaded() && !binding.LoadFrom(SimulatorLibrary()))
            return false;
        const std::basic_string<SdkChar> name = ToSdkText(QString::fromUtf8(device));
        VelaHandle handle = 0;
        if (binding.VelaDCL_OpenDevice(&handle, name.c_str(), 1, 2) != 0 || handle == 0)
            return false;
        binding.m_hDevice = handle;
        return true;
    }

    void AddRecordedMove(std::uint8_t firstModule, std::uint32_t firstOption,
                         std::uint8_t secondModule, std::uint32_t secondOption) override {
        _tagMacroItem item;
        item.firstModule = firstModule;
        item.firstOption = firstOption;
        item.secondModule = secondModule;
        item.secondOption = secondOption;
        recorded.push_back(item);
    }

    CVelaCommBinding binding;
    std::uint16_t token = kNoToken;
    int recording = 0;
    int quickRecordShown = -1;  // the last ShowQuickRecord request, -1 = none
    MacroList recorded;
    std::map<int, CSubDlgBase*> pages;

private:
    mutable std::mutex m_logMutex;
    QString m_log;
};

}  // namespace halvard::test
