// The main window's batch run: "Batch" starts and stops it, the hidden "Iter Finished (for recv
// only)" receives its end, and the counters and log show its progress.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "CHalvardTestDlg.h"
#include "CSubDlgBase.h"
#include "message_service.h"

namespace mb = halvard::mb;

namespace {

// A counter box's number plus one.
void Increment(QLineEdit* box) {
    box->setText(QString::number(box->text().trimmed().toInt() + 1));
}

}  // namespace

void CHalvardTestDlg::OnBatch() {
    // While the page the run was started on is busy, "Batch" stops the run.
    if (m_batchPage != nullptr && m_batchPage->Busy()) {
        StopBatch(true);
        return;
    }

    BatchRecord record;
    bool ok = false;
    record.total = m_batchTotal->text().trimmed().toInt(&ok);
    if (!ok || record.total <= 0) {
        // selectAll leaves the caret at the end, scrolled into view.
        m_batchTotal->setFocus();
        m_batchTotal->selectAll();
        halvard::MessageService::Show(this, QStringLiteral("Please Enter Valid Value..."),
                                      mb::kIconInformation);
        return;
    }
    record.retryLimit = m_retryIfError->isChecked() ? m_retryCount->text().trimmed().toInt() : 0;
    record.insertCard = m_insertCard->isChecked();
    record.ejectCard = m_ejectCard->isChecked();
    record.promptErrors = m_promptError->isChecked();

    StopBatch(false);
    CSubDlgBase* page = SelectedPage();
    if (page == nullptr)
        return;
    page->StartWorker();
    m_batchPage = page;
    m_batchPageInteractive = page->Interactive();
    page->SetBusy(1);
    page->SetInteractive(record.promptErrors ? 1 : 0);
    m_batchOwnWorker = page->RunsOwnBatch();
    if (!m_batchOwnWorker)
        m_batchRun.Start(record);
    UpdateBatchControls();
}

void CHalvardTestDlg::OnIterFinished() {
    StopBatch(false);
}

void CHalvardTestDlg::StopBatch(bool terminated) {
    const BatchRun::StopResult stopped = m_batchRun.Stop(terminated);
    if (stopped == BatchRun::StopResult::kDeferred)
        return;
    for (CSubDlgBase* page : m_pages) {
        page->StopWorker();
        page->SetBusy(0);
    }
    // The page reports as it did before the run, whatever "Prompt Error Message" was.
    if (m_batchPage != nullptr)
        m_batchPage->SetInteractive(m_batchPageInteractive);
    // A page's own batch has no thread to write the final line.
    if (terminated && m_batchPage != nullptr && m_batchOwnWorker)
        AppendLogText(QStringLiteral("Terminate ITERATION.\r\n"));
    m_batchPage = nullptr;
    m_batchOwnWorker = false;
    UpdateBatchControls();
}

void CHalvardTestDlg::ShowIteration(int iteration) {
    m_batchCurrent->setText(QString::number(iteration));
}

void CHalvardTestDlg::ResetCounters() {
    m_errorCounter->setText(QStringLiteral("0"));
    m_retryCounter->setText(QStringLiteral("0"));
}

void CHalvardTestDlg::CountError() {
    Increment(m_errorCounter);
}

void CHalvardTestDlg::CountRetry() {
    Increment(m_retryCounter);
}

void CHalvardTestDlg::Warn(const QString& text) {
    halvard::MessageService::Show(this, text, mb::kIconWarning);
}

void CHalvardTestDlg::BatchThreadEnded() {
    m_iterFinished->click();
}
