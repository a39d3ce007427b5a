#include "CSubDlgBase.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPainter>
#include <QThread>

#include <chrono>

#include "message_service.h"

CSubDlgBase::CSubDlgBase(int templateId, const QString& title, CHalvardTestDlg* mainWindow,
                         QWidget* parent)
    : QWidget(parent), m_templateId(templateId), m_mainWindow(mainWindow), m_title(title) {
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
        return kNoModule;
    const int index = m_currentModuleSelector->currentIndex();
    if (index < 0)
        return kNoModule;
    bool ok = false;
    const int id = m_currentModuleSelector->itemData(index).toInt(&ok);
    return ok ? static_cast<std::uint8_t>(id) : kNoModule;
}

void CSubDlgBase::SelectCurrentModule(std::uint8_t id) {
    if (m_currentModuleSelector == nullptr)
        return;
    for (int i = m_currentModuleSelector->count() - 1; i >= 0; --i) {
        bool ok = false;
        const int value = m_currentModuleSelector->itemData(i).toInt(&ok);
        if (ok && value == id) {
            m_currentModuleSelector->setCurrentIndex(i);
            return;
        }
    }
}

void CSubDlgBase::StartWorkerThread(std::function<void(std::stop_token)> body) {
    StopWorker();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    m_workerEnded = ended;
    m_workerThread =
        std::make_unique<std::jthread>([body = std::move(body), ended](std::stop_token stop) {
            body(stop);
            ended->store(true);
        });
}

void CSubDlgBase::StopWorker() {
    if (m_workerThread == nullptr)
        return;
    if (!m_workerEnded->load()) {
        m_workerThread->request_stop();
        // Keep serving queued and blocking calls the worker may be waiting on; user input
        // stays queued until the worker is gone.
        const bool onGui = QCoreApplication::instance() != nullptr &&
                           QThread::currentThread() == QCoreApplication::instance()->thread();
        while (!m_workerEnded->load()) {
            if (onGui)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    m_workerThread->join();
    m_workerThread.reset();
}
