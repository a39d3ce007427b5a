#include "CSubDlgBase.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPainter>
#include <QThread>

#include "message_service.h"
#include "sdk_text.h"
#include "wait_service.h"

CSubDlgBase::CSubDlgBase(int templateId, const QString& title, PageHost& host, QWidget* parent)
    : QWidget(parent), m_templateId(templateId), m_host(host), m_title(title) {
    // Pages are drawn on white, like the dialogs they stand in for.
    setAutoFillBackground(false);
}

CSubDlgBase::~CSubDlgBase() {
    StopWorker();
}

void CSubDlgBase::OnModulesChanged(const ConnectedModuleList& modules) {
    m_modules = modules;
}

void CSubDlgBase::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}

void CSubDlgBase::ReportMessage(std::uint32_t flags, const QString& text) {
    if (m_interactive) {
        if (flags & kReportClearFirst)
            m_messageBuffer.clear();
        if (!m_messageBuffer.isEmpty())
            m_messageBuffer += u'\n';
        m_messageBuffer += text;
        // Emptied before the box blocks, so a report made meanwhile starts afresh.
        const QString shown = m_messageBuffer;
        m_messageBuffer.clear();
        halvard::MessageService::Show(this, shown, flags & kReportStyleMask);
        return;
    }
    if (flags & kReportClearFirst)
        m_messageBuffer.clear();
    if (flags & kReportAccumulate) {
        if (!m_messageBuffer.isEmpty())
            m_messageBuffer += u'\n';
        m_messageBuffer += text;
    }
}

void CSubDlgBase::ReportInfo(const QString& text) {
    ReportMessage(kReportAccumulate | halvard::mb::kIconInformation, text);
}

std::uint8_t CSubDlgBase::GetCurrentModule() const {
    if (m_currentModuleSelector == nullptr)
        return vela::kModuleNone;
    const int index = m_currentModuleSelector->currentIndex();
    if (index < 0)
        return vela::kModuleNone;
    bool ok = false;
    const int id = m_currentModuleSelector->itemData(index).toInt(&ok);
    return ok ? static_cast<std::uint8_t>(id) : vela::kModuleNone;
}

void CSubDlgBase::SelectCurrentModule(std::uint8_t id) {
    SelectByValue(m_currentModuleSelector, id);
}

bool CSubDlgBase::SelectByValue(QComboBox* box, int value) {
    if (box == nullptr)
        return false;
    for (int i = box->count() - 1; i >= 0; --i) {
        bool ok = false;
        const int data = box->itemData(i).toInt(&ok);
        if (ok && data == value) {
            box->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void CSubDlgBase::StartWorkerThread(Worker::Body body) {
    m_worker.Start(std::move(body));
}

void CSubDlgBase::StopWorker() {
    m_worker.Stop();
}

// ---- Shared steps ----

bool CSubDlgBase::HavePreemption(PreemptionNotice notice) {
    if (m_host.GetPreemptionToken() != PageHost::kNoToken)
        return true;
    if (notice == PreemptionNotice::kPleaseFirst) {
        SetLastResult(kNoPreemption);
        halvard::MessageService::Show(this, QStringLiteral("Please, Preemption First..."),
                                      halvard::mb::kIconInformation);
    } else {
        SetLastResult(kFailed);
        Warn(QStringLiteral("Preemption, First..."));
    }
    return false;
}

QString CSubDlgBase::ErrorText(const QString& text, std::uint32_t code, ErrorForm form) {
    const char* suffix = " (error=0x%08X)";
    if (form == ErrorForm::kParenthesisedBare)
        suffix = " (error=%08X)";
    else if (form == ErrorForm::kDashed)
        suffix = " - error : 0x%08X";
    return text + QString::asprintf(suffix, static_cast<unsigned>(code));
}

void CSubDlgBase::Warn(const QString& text) {
    halvard::MessageService::Show(this, text, halvard::mb::kIconWarning);
}

CSubDlgBase::WaitResult CSubDlgBase::WaitUntil(const std::function<bool()>& condition, int periodMs,
                                               int limitMs, std::stop_token stop,
                                               const std::function<bool()>& stopWhen) {
    auto* app = QCoreApplication::instance();
    const bool onGui = app != nullptr && QThread::currentThread() == app->thread();
    const std::int64_t start = halvard::WaitService::NowMs();
    for (;;) {
        if (stop.stop_requested() || (stopWhen && stopWhen()))
            return WaitResult::kStopped;
        if (condition())
            return WaitResult::kHeld;
        if (halvard::WaitService::NowMs() - start >= limitMs)
            return WaitResult::kTimedOut;
        if (onGui || !stop.stop_possible())
            halvard::WaitService::Wait(periodMs);
        else if (!halvard::WaitService::WaitFor(stop, periodMs))
            return WaitResult::kStopped;
    }
}

void CSubDlgBase::LogCommand(const QString& command, std::uint8_t module) {
    m_host.AppendLogText(QStringLiteral("> ") + command +
                         QString::asprintf(" (mod:%02X) ... ", module));
}

void CSubDlgBase::LogCommand(const QString& command) {
    m_host.AppendLogText(QStringLiteral("> ") + command + QStringLiteral(" ... "));
}

bool CSubDlgBase::LogResult(VelaResult result) {
    if (result == 0) {
        m_host.AppendLogText(QStringLiteral("OK\n"));
        return true;
    }
    m_host.AppendLogText(QString::asprintf("Failed (0x%08X)\n", static_cast<unsigned>(result)));
    return false;
}

DeviceInfo CSubDlgBase::ReadDeviceInfo(const QString& deviceId) const {
    DeviceInfo info{};
    if (Binding().Vela_GetDeviceInfo == nullptr)
        return info;
    const VelaString device = halvard::ToSdkText(deviceId);
    // A failed call may have left anything in the record: nothing of it is used then.
    if (Binding().Vela_GetDeviceInfo(&info, device.c_str(), 1) != 0)
        info = DeviceInfo{};
    return info;
}

void CSubDlgBase::FillReaderList(QComboBox* list, const std::array<QString, 2>& names) {
    list->clear();
    for (int i = 0; i < 2; ++i)
        if (!names[static_cast<size_t>(i)].isEmpty())
            list->addItem(names[static_cast<size_t>(i)], i + 1);
    if (list->count() > 0)
        list->setCurrentIndex(0);
}

QString CSubDlgBase::HexBytes(std::span<const std::uint8_t> bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()) * 3);
    for (std::uint8_t byte : bytes)
        text += QString::asprintf("%02X ", byte);
    if (text.endsWith(u' '))
        text.chop(1);
    return text;
}
