#include "batch_run.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <vector>

#include "CSubDlgBase.h"
#include "PageHost.h"
#include "message_service.h"
#include "page_drivers.h"
#include "page_ids.h"
#include "sdk_lists.h"
#include "vela_modules.h"

namespace {

// The reports of a step go to the page with the exclamation icon, and are dropped (not kept)
// when the page does not show them.
constexpr std::uint32_t kReportFlags = CSubDlgBase::kReportClearFirst | halvard::mb::kIconWarning;
// The data boxes are compared up to this many characters.
constexpr int kCompareChars = 128;

constexpr std::array<const char*, 4> kTrackTags = {"T1", "T2", "T3", "JIS"};

QString Hex32(const char* format, std::uint32_t code) {
    return QString::asprintf(format, static_cast<unsigned>(code));
}

// The track data of one iteration, for the comparison: per track, its write and read check
// boxes and data boxes.
struct TrackTexts {
    std::array<bool, 4> writeChecked{};
    std::array<bool, 4> readChecked{};
    std::array<QString, 4> written;
    std::array<QString, 4> read;
};

bool AnyChecked(const std::array<bool, 4>& checked) {
    return std::find(checked.begin(), checked.end(), true) != checked.end();
}

// Empty when every track checked on both sides reads back exactly as written; otherwise the
// log lines of the difference: each checked track's write and read data, in track order.
QStringList CompareTracks(const TrackTexts& texts) {
    bool same = true;
    for (size_t t = 0; t < kTrackTags.size(); ++t)
        if (texts.writeChecked[t] && texts.readChecked[t] && texts.written[t] != texts.read[t])
            same = false;
    if (same)
        return {};
    QStringList lines;
    for (size_t t = 0; t < kTrackTags.size(); ++t) {
        if (texts.writeChecked[t])
            lines << QString::asprintf("    %s Write = [", kTrackTags[t]) + texts.written[t] +
                         QStringLiteral("]\r\n");
        if (texts.readChecked[t])
            lines << QString::asprintf("    %s Read  = [", kTrackTags[t]) + texts.read[t] +
                         QStringLiteral("]\r\n");
    }
    return lines;
}

}  // namespace

BatchRun::BatchRun(BatchWindow& window, QObject* context) : m_window(window), m_context(context) {}

BatchRun::~BatchRun() {
    m_worker.Stop();
}

void BatchRun::Start(const BatchRecord& record) {
    m_active = true;
    m_terminated = false;
    m_acquiredToken = false;
    m_completed = false;
    const int generation = ++m_generation;
    m_worker.Start(
        [this, record, generation](std::stop_token stop) { Body(stop, record, generation); });
}

BatchRun::StopResult BatchRun::Stop(bool terminated) {
    if (!m_active)
        return StopResult::kNone;
    m_terminated = m_terminated || terminated;
    if (m_inStep > 0) {
        // The thread waits for the step this call comes from: joining it here would wait for
        // ever. It is asked to stop, and its end notification finishes the run.
        m_worker.RequestStop();
        return StopResult::kDeferred;
    }
    // Marked first: whatever runs while the thread is joined sees no run to stop.
    m_active = false;
    m_worker.Stop();
    Finish(m_terminated && !m_completed);
    return StopResult::kEnded;
}

bool BatchRun::OnGui(std::stop_token stop, const std::function<void()>& step) {
    const bool ran = RunOnGuiThread(stop, m_context, [this, &stop, &step] {
        // A step that reaches the GUI thread after a stop was asked for is not begun.
        if (stop.stop_requested())
            return;
        ++m_inStep;
        step();
        --m_inStep;
    });
    return ran && !stop.stop_requested();
}

void BatchRun::Log(const QString& text) {
    m_window.Host().AppendLogText(text);
}

void BatchRun::Finish(bool terminated) {
    PageHost& host = m_window.Host();
    for (int id : {page_id::kMove, page_id::kMagnetic})
        if (CSubDlgBase* page = host.FindPage(id))
            page->ClearMessageBuffer();
    if (m_acquiredToken && host.GetPreemptionToken() != PageHost::kNoToken) {
        m_window.ReleasePreemption();
        if (host.GetPreemptionToken() != PageHost::kNoToken) {
            Log(QStringLiteral("Failed to Release Preemption\r\n"));
            m_window.Warn(QStringLiteral("Failed to Release Preemption"));
        }
    }
    m_acquiredToken = false;
    Log(terminated ? QStringLiteral("Terminate ITERATION.\r\n")
                   : QStringLiteral("Finish ITERATION.\r\n"));
}

void BatchRun::Body(std::stop_token stop, const BatchRecord record, const int generation) {
    // Set on the GUI thread by the first step; read here only after a step has returned.
    MovePageDriver* move = nullptr;
    MagneticPageDriver* magnetic = nullptr;
    CSubDlgBase* movePage = nullptr;
    std::uint8_t inputHopper = vela::kModuleNone;
    std::uint8_t outputHopper = vela::kModuleNone;
    // A step's failure: its log line, then the page's report.
    const auto report = [this](auto* page, const QString& text) {
        Log(QStringLiteral("  ") + text + QStringLiteral("\r\n"));
        page->ReportMessage(kReportFlags, text);
    };

    const auto run = [&] {
        if (!OnGui(stop, [&] {
                PageHost& host = m_window.Host();
                move = host.FindMoveDriver();
                magnetic = host.FindMagneticDriver();
                movePage = host.FindPage(page_id::kMove);
                const std::vector<std::uint8_t> chain =
                    sdk_lists::ModuleChain(m_window.ModuleChain());
                if (!chain.empty() && vela::IsType(chain.front(), vela::kTypeInputHopper))
                    inputHopper = chain.front();
                if (!chain.empty() && vela::IsType(chain.back(), vela::kTypeOutputHopper))
                    outputHopper = chain.back();
                Log(QStringLiteral("----------------------------------\r\n"));
                Log(QStringLiteral("Start ITERATION.\r\n"));
                m_window.ResetCounters();
            }))
            return;
        if (move == nullptr || magnetic == nullptr || movePage == nullptr)
            return;

        // The run takes the printer's token unless one is held; it goes on without it.
        if (!OnGui(stop, [&] {
                PageHost& host = m_window.Host();
                if (host.GetPreemptionToken() != PageHost::kNoToken)
                    return;
                m_window.RequestPreemption();
                m_acquiredToken = true;
                if (host.GetPreemptionToken() == PageHost::kNoToken) {
                    Log(QStringLiteral("Failed to Acquire Preemption\r\n"));
                    m_window.Warn(QStringLiteral("Failed to Acquire Preemption"));
                }
            }))
            return;

        if (!OnGui(stop, [&] {
                magnetic->RunSetCoercivity();
                if (const std::uint32_t r = magnetic->LastResult(); r != 0) {
                    const QString text = Hex32("Failed to Set Mag. Coercivity : 0x%08X", r);
                    Log(text + QStringLiteral("\r\n"));
                    magnetic->ReportMessage(kReportFlags, text);
                }
            }))
            return;

        for (int i = 1; i <= record.total; ++i) {
            bool leave = false;
            // The card comes in.
            if (!OnGui(stop, [&] {
                    Log(QString::asprintf("ITER [%d/%d].\r\n", i, record.total));
                    m_window.ShowIteration(i);
                    if (!record.insertCard)
                        return;
                    move->SetCurrentModule(inputHopper);
                    move->SetMoveDestination(vela::kModulePrinter);
                    move->RunCardMove();
                    if (const std::uint32_t r = move->LastResult(); r != 0) {
                        report(movePage,
                               QString::asprintf("Card Move Error [%02X to %02X] : 0x%08X",
                                                 inputHopper, vela::kModulePrinter, r));
                        leave = true;
                    }
                }))
                return;
            if (leave)
                return;

            // Write, read and compare; the first failure counts an error.
            TrackTexts texts;
            bool wrote = false;
            bool read = false;
            bool failed = false;
            const auto fail = [&](const QString& text) {
                report(magnetic, text);
                failed = true;
            };
            if (!OnGui(stop, [&] {
                    for (int t = 0; t < MagneticPageDriver::kTrackCount; ++t) {
                        const auto track = static_cast<MagneticPageDriver::Track>(t);
                        texts.writeChecked[static_cast<size_t>(t)] =
                            magnetic->WriteTrackChecked(track);
                        texts.readChecked[static_cast<size_t>(t)] =
                            magnetic->ReadTrackChecked(track);
                    }
                    if (!AnyChecked(texts.writeChecked))
                        return;
                    magnetic->RunAutoWrite();
                    wrote = true;
                    if (const std::uint32_t r = magnetic->LastResult(); r != 0)
                        fail(Hex32("Mag Write Error : 0x%08X", r));
                }))
                return;
            if (!failed && !OnGui(stop, [&] {
                    if (!AnyChecked(texts.readChecked))
                        return;
                    magnetic->RunAutoRead();
                    read = true;
                    if (const std::uint32_t r = magnetic->LastResult(); r != 0)
                        fail(Hex32("Mag Read Error : 0x%08X", r));
                }))
                return;
            if (!OnGui(stop, [&] {
                    if (!failed) {
                        for (int t = 0; t < MagneticPageDriver::kTrackCount; ++t) {
                            const auto track = static_cast<MagneticPageDriver::Track>(t);
                            texts.written[static_cast<size_t>(t)] =
                                magnetic->WriteTrackData(track).left(kCompareChars);
                            texts.read[static_cast<size_t>(t)] =
                                magnetic->ReadTrackData(track).left(kCompareChars);
                        }
                        const QStringList lines = CompareTracks(texts);
                        if (!lines.isEmpty()) {
                            const QString text =
                                QStringLiteral("Mag Write & Read Data is Different");
                            Log(QStringLiteral("  ") + text + QStringLiteral("\r\n"));
                            Log(lines.join(QString()));
                            magnetic->ReportMessage(kReportFlags, text);
                            failed = true;
                        }
                    }
                    if (failed)
                        m_window.CountError();
                    // Only the commands of this iteration say whether it retried.
                    if ((wrote && magnetic->AutoWriteRetried()) ||
                        (read && magnetic->AutoReadRetried()))
                        m_window.CountRetry();
                }))
                return;

            // The card goes out.
            if (!OnGui(stop, [&] {
                    if (!record.ejectCard)
                        return;
                    move->SetCurrentModule(vela::kModulePrinter);
                    move->SetEjectTarget(outputHopper);
                    move->RunCardEject();
                    if (const std::uint32_t r = move->LastResult(); r != 0) {
                        report(movePage,
                               QString::asprintf("Card Eject Error [%02X to %02X] : 0x%08X",
                                                 vela::kModulePrinter, outputHopper, r));
                        leave = true;
                    }
                }))
                return;
            if (leave)
                return;
        }
        m_completed = true;
    };
    run();
    if (!stop.stop_requested())
        m_completed = true;
    // The end notification; a run stopped or replaced meanwhile ignores it.
    PostToThreadOf(m_context, [this, generation] {
        if (generation == m_generation && m_active)
            m_window.BatchThreadEnded();
    });
}
