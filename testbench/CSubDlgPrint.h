#pragma once
// The "Print" test page: walks a printer through a print job one step at a time. It opens a
// card design document in the SDK and previews its pages, makes print data for a page (or the
// built-in test card with no document open), reads the print-data id, transfers the data, asks
// for the printer's current job, starts printing or laminating, deletes the job and closes the
// document. It also shows the installed ribbon of the selected printer.

#include <QByteArray>

#include <array>
#include <cstdint>

#include "CSubDlgBase.h"
#include "page_ids.h"
#include "print_logic.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class PreviewFrame;

class CSubDlgPrint : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kPrint;

    // The flags of Vela_PrintDocument, and the pause between asking the printer to update its
    // current job and reading it.
    static constexpr std::int32_t kPrintFlags = 0x20;
    static constexpr int kUpdateJobWaitMs = 100;
    // The built-in test card: its picture, and its text drawn at (50, 100).
    static constexpr const char* kBackgroundFile = "bkgnd.bmp";
    static constexpr int kColourPanel = 1;
    static constexpr int kBlackPanel = 2;
    static constexpr int kTestTextX = 50;
    static constexpr int kTestTextY = 100;
    static constexpr int kTestTextSize = 14;
    static constexpr int kTestTextStyle = 1;

    explicit CSubDlgPrint(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

    // The print data handle of the last "Make Print Data" and the copy of the preview bitmap
    // (empty when none is shown).
    std::int32_t PrintDataHandle() const { return m_printData; }
    const QByteArray& PreviewBitmap() const { return m_preview; }
    const QString& LastFolder() const { return m_lastFolder; }

public slots:
    void OnBrowse();
    void OnOpenVdn();
    void OnPageClicked(int pageIndex);
    void OnMakePrintData();
    void OnTransferPrintData();
    void OnGetPrintDataId();
    void OnDeletePrintData();
    void OnStartPrint();
    void OnClearDocument();

private:
    void BuildControls();
    void OnModuleSelected();
    // The checked page radio (0-3), -1 when none is checked.
    int CheckedPage() const;
    // Unchecks the page radios; with `disable` also disables them.
    void UncheckPages(bool disable);
    // Asks the SDK for a page's preview and shows a sound copy of it; otherwise shows nothing and
    // says why under the frame.
    void FetchPreview(int pageIndex);
    void DropPreview(const QString& reason = QString());
    void Fail(const QString& text, VelaResult result);

    QComboBox* m_module = nullptr;
    QLabel* m_ribbon = nullptr;
    QPushButton* m_openVdn = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QButtonGroup* m_pageGroup = nullptr;
    std::array<QRadioButton*, print::kPageCount> m_pages{};
    PreviewFrame* m_frame = nullptr;
    QLabel* m_previewStatus = nullptr;
    QPushButton* m_makePrintData = nullptr;
    QLineEdit* m_prnId = nullptr;
    QPushButton* m_deletePrintData = nullptr;
    QPushButton* m_transferPrintData = nullptr;
    QPushButton* m_getPrintDataId = nullptr;
    QLineEdit* m_jobId = nullptr;
    QPushButton* m_startPrint = nullptr;
    QComboBox* m_cardIn = nullptr;
    QComboBox* m_side = nullptr;
    QPushButton* m_clearDocument = nullptr;

    std::int32_t m_printData = 0;
    QString m_lastFolder;
    QByteArray m_preview;
};
