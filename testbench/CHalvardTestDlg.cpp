#include "CHalvardTestDlg.h"
#include "widget_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTextCursor>
#include <QThread>
#include <QVBoxLayout>

#include "CDlgMacroQuickRecord.h"
#include "CSubDlgBase.h"
#include "CSubDlgMacro.h"
#include "message_service.h"
#include "module_chain_view.h"
#include "page_ids.h"
#include "page_table.h"
#include "program_support.h"
#include "status_panel_box.h"
#include "worker.h"

namespace {

constexpr int kStatusBoxWidth = 340;
constexpr int kLogFontPixels = 13;

QLineEdit* Box(const char* name, QWidget* parent, bool readOnly, bool numbers) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(readOnly);
    if (numbers)
        box->setValidator(new QIntValidator(0, 999999999, box));
    return box;
}

}  // namespace

CHalvardTestDlg::CHalvardTestDlg(bool showExpert, QWidget* parent)
    : QDialog(parent),
      m_showExpert(showExpert),
      m_poller(m_binding, this, [this](const QImage& image, const ModuleSlots& moduleSlots) {
          OnStatusPolled(image, moduleSlots);
      }) {
    setObjectName(QStringLiteral("mainWindow"));
    m_binding.SetTraceSink(&halvard::SdkTraceLine);
    m_logFont = halvard::FixedPitchFont(kLogFontPixels);
    m_logFont.setWeight(QFont::Normal);
    BuildControls();
}

CHalvardTestDlg::~CHalvardTestDlg() {
    Shutdown();
}

void CHalvardTestDlg::BuildControls() {
    setWindowTitle(QStringLiteral("HalvardTest"));
    setWindowIcon(QApplication::windowIcon());
    setSizeGripEnabled(true);

    m_deviceSelector = new QComboBox(this);
    m_deviceSelector->setObjectName(QStringLiteral("deviceSelector"));
    m_deviceSelector->setMinimumContentsLength(30);
    auto* deviceLabel = halvard::BuddyLabel(QStringLiteral("Device :"), m_deviceSelector, this);
    m_refresh = halvard::PlainButton(QStringLiteral("Refresh"), "refresh", this);
    m_connect = halvard::PlainButton(QStringLiteral("Connect"), "connect", this);
    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(deviceLabel);
    deviceRow->addWidget(m_deviceSelector);
    deviceRow->addWidget(m_refresh);
    deviceRow->addWidget(m_connect);
    deviceRow->addStretch(1);

    m_moduleView = new ModuleChainView(this);

    // Preemption and manual mode: each group shows its box above its two buttons, so that the
    // row of groups leaves the page below its full width. Created in reading order.
    auto* preemption = new QGroupBox(QStringLiteral("Preemption"), this);
    m_token = Box("preemptionToken", preemption, true, false);
    auto* tokenLabel = halvard::BuddyLabel(QStringLiteral("Token :"), m_token, preemption);
    m_token->setMinimumWidth(m_token->fontMetrics().horizontalAdvance(QStringLiteral("FFFF")) + 20);
    m_token->setMaximumWidth(80);
    m_request = halvard::PlainButton(QStringLiteral("Request"), "request", preemption);
    m_release = halvard::PlainButton(QStringLiteral("Release"), "release", preemption);
    auto* preemptionGrid = new QGridLayout(preemption);
    preemptionGrid->addWidget(tokenLabel, 0, 0, Qt::AlignRight);
    preemptionGrid->addWidget(m_token, 0, 1);
    preemptionGrid->addWidget(m_request, 1, 0);
    preemptionGrid->addWidget(m_release, 1, 1);

    auto* manual = new QGroupBox(QStringLiteral("Manual Mode"), this);
    m_mode = Box("manualMode", manual, true, false);
    auto* modeLabel = halvard::BuddyLabel(QStringLiteral("Mode :"), m_mode, manual);
    m_mode->setMinimumWidth(m_mode->fontMetrics().horizontalAdvance(QStringLiteral("MANUAL Mode")) +
                            20);
    m_mode->setMaximumWidth(140);
    m_check = halvard::PlainButton(QStringLiteral("Check"), "checkManualMode", manual);
    m_toggle = halvard::PlainButton(QStringLiteral("Toggle"), "toggleManualMode", manual);
    auto* manualGrid = new QGridLayout(manual);
    manualGrid->addWidget(modeLabel, 0, 0, Qt::AlignRight);
    manualGrid->addWidget(m_mode, 0, 1);
    manualGrid->addWidget(m_check, 1, 0);
    manualGrid->addWidget(m_toggle, 1, 1);

    // Batch controls.
    auto* batch = new QGroupBox(this);
    batch->setObjectName(QStringLiteral("batchGroup"));
    m_batch = halvard::PlainButton(QStringLiteral("Batch"), "batch", batch);
    m_batchCurrent = Box("batchCurrent", batch, true, true);
    auto* currentLabel = halvard::BuddyLabel(QStringLiteral("Iter :"), m_batchCurrent, batch);
    m_batchTotal = Box("batchTotal", batch, false, true);
    auto* slash = halvard::BuddyLabel(QStringLiteral("/"), m_batchTotal, batch);
    m_insertCard = new QCheckBox(QStringLiteral("Insert Card"), batch);
    m_insertCard->setObjectName(QStringLiteral("insertCard"));
    m_ejectCard = new QCheckBox(QStringLiteral("Eject Card"), batch);
    m_ejectCard->setObjectName(QStringLiteral("ejectCard"));
    m_promptError = new QCheckBox(QStringLiteral("Prompt Error Message"), batch);
    m_promptError->setObjectName(QStringLiteral("promptErrorMessage"));
    m_retryIfError = new QCheckBox(QStringLiteral("Retry, If Error"), batch);
    m_retryIfError->setObjectName(QStringLiteral("retryIfError"));
    m_retryCount = Box("retryCount", batch, false, true);
    auto* limitLabel = halvard::BuddyLabel(QStringLiteral("Limit :"), m_retryCount, batch);
    m_errorCounter = Box("errorCounter", batch, true, true);
    auto* errorLabel = halvard::BuddyLabel(QStringLiteral("Error :"), m_errorCounter, batch);
    m_retryCounter = Box("retryCounter", batch, true, true);
    auto* retryLabel = halvard::BuddyLabel(QStringLiteral("Retry :"), m_retryCounter, batch);
    m_iterFinished = halvard::PlainButton(QStringLiteral("Iter Finished (for recv only)"),
                                          "iterFinished", batch);
    m_iterFinished->hide();
    for (QLineEdit* box :
         {m_batchCurrent, m_batchTotal, m_retryCount, m_errorCounter, m_retryCounter})
        box->setMaximumWidth(60);
    auto* batchGrid = new QGridLayout(batch);
    batchGrid->addWidget(m_batch, 0, 0);
    auto* currentPair = new QHBoxLayout;
    currentPair->addWidget(currentLabel);
    currentPair->addWidget(m_batchCurrent);
    batchGrid->addLayout(currentPair, 0, 1);
    batchGrid->addWidget(slash, 0, 2);
    batchGrid->addWidget(m_batchTotal, 0, 3);
    batchGrid->addWidget(m_insertCard, 0, 4);
    batchGrid->addWidget(m_ejectCard, 0, 5);
    batchGrid->addWidget(m_promptError, 0, 6, 1, 2);
    batchGrid->addWidget(m_retryIfError, 1, 0);
    auto* limitPair = new QHBoxLayout;
    limitPair->addWidget(limitLabel);
    limitPair->addWidget(m_retryCount);
    batchGrid->addLayout(limitPair, 1, 1, 1, 3);
    batchGrid->addWidget(errorLabel, 1, 4, Qt::AlignRight);
    batchGrid->addWidget(m_errorCounter, 1, 5);
    batchGrid->addWidget(retryLabel, 1, 6, Qt::AlignRight);
    batchGrid->addWidget(m_retryCounter, 1, 7);

    auto* controlRow = new QHBoxLayout;
    controlRow->addWidget(preemption);
    controlRow->addWidget(manual);
    controlRow->addWidget(batch, 1);

    // Tabs over the page area; every page lives in the area and is shown or hidden.
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setExpanding(false);
    m_pageArea = new QWidget(this);
    m_pageArea->setObjectName(QStringLiteral("pageArea"));
    // No fixed minimum: the area takes the shown page's, so the window never cuts a caption.
    auto* pageLayout = new QGridLayout(m_pageArea);
    pageLayout->setContentsMargins(0, 0, 0, 0);

    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("log"));
    m_log->setAccessibleName(QStringLiteral("Log"));
    m_log->setReadOnly(true);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setUndoRedoEnabled(false);
    m_log->setMinimumHeight(150);

    m_statusBox = new StatusPanelBox(this);
    m_statusBox->setFixedWidth(kStatusBoxWidth);

    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(m_tabs);
    left->addWidget(m_pageArea, 3);
    left->addSpacing(6);
    left->addWidget(m_log, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addWidget(m_statusBox);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(deviceRow);
    layout->addWidget(m_moduleView);
    layout->addLayout(controlRow);
    layout->addLayout(body, 1);
    resize(1000, 780);

    connect(m_refresh, &QPushButton::clicked, this, &CHalvardTestDlg::OnRefresh);
    connect(m_connect, &QPushButton::clicked, this, &CHalvardTestDlg::OnConnect);
    connect(m_request, &QPushButton::clicked, this, &CHalvardTestDlg::OnRequestPreemption);
    connect(m_release, &QPushButton::clicked, this, &CHalvardTestDlg::OnReleasePreemption);
    connect(m_check, &QPushButton::clicked, this, &CHalvardTestDlg::OnCheckManualMode);
    connect(m_toggle, &QPushButton::clicked, this, &CHalvardTestDlg::OnToggleManualMode);
    connect(m_batch, &QPushButton::clicked, this, &CHalvardTestDlg::OnBatch);
    connect(m_iterFinished, &QPushButton::clicked, this, &CHalvardTestDlg::OnIterFinished);
    connect(m_retryIfError, &QCheckBox::clicked, this, &CHalvardTestDlg::UpdateBatchControls);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int) {
        if (!m_changingTabs)
            OnTabSelected();
    });
    connect(m_statusBox, &StatusPanelBox::sizeChanged, this,
            [this](QSize size) { m_poller.SetPanelSize(size); });
}

void CHalvardTestDlg::Initialise(const QString& libraryPath) {
    setWindowTitle(halvard::VersionTitle(QStringLiteral("HalvardTest")));

    const bool loaded =
        libraryPath.isEmpty() ? m_binding.Load() : m_binding.LoadFrom(libraryPath.toStdString());
    if (!loaded) {
        halvard::MessageService::Show(this, QStringLiteral("Failed to Load VelaComm.dll..."),
                                      halvard::mb::kIconStop);
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }

    m_token->setText(QStringLiteral("FFFF"));
    if (loaded)
        QMetaObject::invokeMethod(this, &CHalvardTestDlg::OnRefresh, Qt::QueuedConnection);

    m_log->setFont(m_logFont);

    CreatePages();
    for (CSubDlgBase* page : m_pages) {
        if (!IsExpertOnlyPage(page->TemplateId()) || m_showExpert)
            AddPageTab(page);
    }
    m_changingTabs = true;
    m_tabs->setCurrentIndex(0);
    m_changingTabs = false;
    OnTabSelected();

    m_batchCurrent->setText(QStringLiteral("0"));
    m_batchTotal->setText(QStringLiteral("1"));
    m_promptError->setChecked(false);
    m_errorCounter->setText(QStringLiteral("0"));
    m_retryCounter->setText(QStringLiteral("0"));

    m_quickRecord = std::make_unique<CDlgMacroQuickRecord>(this);
    m_quickRecord->hide();
    ConnectQuickRecordToMacroPage();
    PlaceQuickRecord();

    UpdateBatchControls();
}

void CHalvardTestDlg::CreatePages() {
    DestroyPages();
    auto* grid = static_cast<QGridLayout*>(m_pageArea->layout());
    for (const PageEntry& entry : PageTable()) {
        CSubDlgBase* page = entry.create(*this, m_pageArea);
        page->hide();
        grid->addWidget(page, 0, 0);
        m_pages.append(page);
    }
    ConnectQuickRecordToMacroPage();
}

void CHalvardTestDlg::ConnectQuickRecordToMacroPage() {
    if (m_quickRecord == nullptr)
        return;
    auto* macro = dynamic_cast<CSubDlgMacro*>(FindPage(page_id::kMacro));
    m_quickRecord->SetMacroList(macro != nullptr ? &macro->MacroItems() : nullptr);
}

CSubDlgBase* CHalvardTestDlg::FindPage(int templateId) const {
    for (CSubDlgBase* page : m_pages)
        if (page->TemplateId() == templateId)
            return page;
    return nullptr;
}

void CHalvardTestDlg::DestroyPages() {
    m_changingTabs = true;
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    m_changingTabs = false;
    // The quick-record window must not keep the Macro page's list past the page.
    if (m_quickRecord != nullptr)
        m_quickRecord->SetMacroList(nullptr);
    for (CSubDlgBase* page : m_pages)
        page->StopWorker();
    qDeleteAll(m_pages);
    m_pages.clear();
}

void CHalvardTestDlg::AddPageTab(CSubDlgBase* page) {
    const int index = m_tabs->addTab(page->Title());
    m_tabs->setTabData(index, QVariant::fromValue(static_cast<QObject*>(page)));
}

int CHalvardTestDlg::TabOfPage(const CSubDlgBase* page) const {
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabData(i).value<QObject*>() == page)
            return i;
    return -1;
}

CSubDlgBase* CHalvardTestDlg::SelectedPage() const {
    const int index = m_tabs->currentIndex();
    if (index < 0)
        return nullptr;
    return qobject_cast<CSubDlgBase*>(m_tabs->tabData(index).value<QObject*>());
}

void CHalvardTestDlg::OnTabSelected() {
    CSubDlgBase* selected = SelectedPage();
    for (CSubDlgBase* page : m_pages) {
        page->setVisible(page == selected);
        page->OnPageShown();
    }
    UpdateBatchControls();
}

void CHalvardTestDlg::ToggleExpertTabs() {
    CSubDlgBase* expert = FindPage(page_id::kExpert);
    CSubDlgBase* macro = FindPage(page_id::kMacro);
    if (expert == nullptr || macro == nullptr)
        return;
    m_changingTabs = true;
    const int expertTab = TabOfPage(expert);
    if (expertTab >= 0) {
        // The Expert tab and the one after it (Macro) go; back to the first tab.
        if (expertTab + 1 < m_tabs->count())
            m_tabs->removeTab(expertTab + 1);
        m_tabs->removeTab(expertTab);
        expert->hide();
        macro->hide();
        m_tabs->setCurrentIndex(0);
    } else {
        AddPageTab(expert);
        m_tabs->setCurrentIndex(m_tabs->count() - 1);
        AddPageTab(macro);
    }
    m_changingTabs = false;
    OnTabSelected();
}

void CHalvardTestDlg::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    if (event->key() == Qt::Key_F10 && (event->modifiers() & chord) == chord) {
        ToggleExpertTabs();
        event->accept();
        return;
    }
    // Enter and Escape never close the window; only the window's close command does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CHalvardTestDlg::UpdateBatchControls() {
    const CSubDlgBase* selected = SelectedPage();
    const bool enabled = m_binding.IsConnected() && selected != nullptr &&
                         selected->TemplateId() == page_id::kMagnetic;
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_batch, m_batchCurrent, m_batchTotal, m_insertCard,
                                         m_ejectCard, m_promptError, m_retryIfError})
        w->setEnabled(enabled);
    m_retryCount->setEnabled(enabled && m_retryIfError->isChecked());
}

// ---- Log ----

void CHalvardTestDlg::AppendLogText(const QString& text) {
    if (QThread::currentThread() != thread()) {
        PostToThreadOf(this, [this, text] { AppendLogText(text); });
        return;
    }
    // Line ends come as "\r\n"; the box keeps plain "\n".
    QString plain = text;
    plain.remove(u'\r');
    QTextCursor cursor(m_log->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(plain);
    m_log->setTextCursor(cursor);
    if (QScrollBar* bar = m_log->verticalScrollBar())
        bar->setValue(bar->maximum());
}

// ---- Quick-record window ----

MacroRecorder* CHalvardTestDlg::QuickRecorder() const {
    return m_quickRecord.get();
}

void CHalvardTestDlg::ShowQuickRecord(bool show) {
    if (m_quickRecord == nullptr)
        return;
    if (!show) {
        m_quickRecord->hide();
        return;
    }
    // Shown first, so that its frame is known when it is placed.
    m_quickRecord->show();
    PlaceQuickRecord();
    m_quickRecord->Refresh();
}

void CHalvardTestDlg::PlaceQuickRecord() {
    const QRect main = frameGeometry();
    const QSize size = m_quickRecord->frameGeometry().size();
    int x = main.left() - size.width();
    const int y = main.top() + (main.height() - size.height()) / 2;
    if (x < 0)
        x = 0;
    m_quickRecord->move(x, y);
}

void CHalvardTestDlg::done(int result) {
    StopBatch(true);
    if (auto* macro = dynamic_cast<CSubDlgMacro*>(FindPage(page_id::kMacro)))
        macro->EndPlayback();
    QDialog::done(result);
}

// ---- Closing ----

void CHalvardTestDlg::Shutdown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    // A batch run goes first: it drives the pages and uses the connection.
    StopBatch(true);
    m_quickRecord.reset();
    m_poller.Stop();
    DestroyPages();
    if (m_binding.IsLoaded()) {
        OnReleasePreemption();
        if (m_binding.m_hDevice != 0 && m_binding.VelaDCL_CloseDevice(m_binding.m_hDevice) == 0)
            m_binding.m_hDevice = 0;
        // A handle the direct close did not take is closed the plain way.
        if (m_binding.m_hDevice != 0) {
            m_binding.Vela_CloseDevice(m_binding.m_hDevice);
            m_binding.m_hDevice = 0;
        }
        m_binding.Unload();
    }
}
