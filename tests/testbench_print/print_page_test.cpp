// The Print page in the real main window against the simulated printer system: the module
// selector with its ribbon, opening documents and previewing their pages, a whole job from the
// document to the spooled picture on a card that moves on, the built-in test card, every
// message with an injected failure, and what a disconnect leaves.

#include <QButtonGroup>
#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>

#include <functional>

#include "CSubDlgPrint.h"
#include "preview_frame.h"
#include "testbench_fixture.h"

namespace halvard::test {
namespace {

constexpr unsigned kWarning = mb::kIconWarning;
constexpr VelaResult kInjected = static_cast<VelaResult>(0x8000ABCD);
const char* const kPages[] = {"pageP1Front", "pageP1Back", "pageP2Front", "pageP2Back"};

// Input hopper, printer, laminator, output hopper; `extra` goes into the device.
QByteArray Chain(const char* extra = "") {
    return QByteArray(R"({"devices": [{"name": "[USB1] Halvard Card Printer", )") + extra +
           R"( "modules": [{"id": 16, "cards": 20}, {"id": 64}, {"id": 80}, {"id": 112}]}]})";
}

// Dark pixels (text) inside a rectangle of a picture.
int DarkPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    return n;
}

class PrintPageTest : public TestBenchTest {
protected:
    void SetUp() override {
        TestBenchTest::SetUp();
        ASSERT_TRUE(spool.isValid());
        qputenv("VELASIM_SPOOL_DIR", spool.path().toLocal8Bit());
    }
    void TearDown() override {
        TestBenchTest::TearDown();
        qunsetenv("VELASIM_SPOOL_DIR");
    }

    // The main window connected, its Print tab selected, the call log and boxes emptied.
    CSubDlgPrint& Connected(const QByteArray& scenario = Chain()) {
        page = &ConnectedPage<CSubDlgPrint>(scenario.constData(), "Print");
        return *page;
    }
    template <typename T = QWidget>
    T* On(const char* name) {
        return ControlOf<T>(page, name);
    }
    void Press(const char* name) { QTest::mouseClick(On<QPushButton>(name), Qt::LeftButton); }
    QString Text(const char* name) {
        if (auto* label = page->findChild<QLabel*>(QLatin1String(name)))
            return label->text();
        return On<QLineEdit>(name)->text();
    }
    static QString Sample(const char* name) {
        return QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral("samples/") + QLatin1String(name));
    }
    void OpenDocument(const QString& path) {
        On<QLineEdit>("vdnPath")->setText(path);
        Press("openVdn");
    }
    std::array<bool, 4> EnabledPages() {
        std::array<bool, 4> enabled{};
        for (size_t i = 0; i < 4; ++i)
            enabled[i] = On<QRadioButton>(kPages[i])->isEnabled();
        return enabled;
    }
    int CheckedPage() {
        for (int i = 0; i < 4; ++i)
            if (On<QRadioButton>(kPages[i])->isChecked())
                return i;
        return -1;
    }
    QImage Preview() { return On<PreviewFrame>("preview")->Image(); }
    QJsonObject Printer() { return sim.Module(0x40).value(QLatin1String("printer")).toObject(); }
    int Jobs() { return static_cast<int>(Printer().value(QLatin1String("jobs")).toArray().size()); }
    QStringList SpoolFiles() {
        return QDir(spool.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    }
    void SetCardIn(bool yes) { On<QComboBox>("cardIn")->setCurrentIndex(yes ? 1 : 0); }
    // Makes print data for the checked page (or the test card), transfers it.
    void MakeAndTransfer() {
        Press("makePrintData");
        Press("transferPrintData");
    }

    QTemporaryDir spool;
    CSubDlgPrint* page = nullptr;
};

TEST_F(PrintPageTest, ModuleSelectorShowsPrintersAndLaminatorsWithTheRibbon) {
    Connected();
    auto* module = On<QComboBox>("currentModule");
    ASSERT_EQ(module->count(), 2);
    EXPECT_EQ(module->itemText(0), QStringLiteral("P [40]"));
    EXPECT_EQ(module->itemText(1), QStringLiteral("L [50]"));
    EXPECT_EQ(module->currentIndex(), 0);
    EXPECT_EQ(Text("ribbon"), QStringLiteral("Ribbon : YMCKO (250/250)"));
    EXPECT_EQ(page->LastResult(), 0u);
    const char* printerOnly[] = {"makePrintData",     "prnId",          "deletePrintData",
                                 "transferPrintData", "getPrintDataId", "jobId"};
    for (const char* name : printerOnly)
        EXPECT_TRUE(On(name)->isEnabled()) << name;
    EXPECT_TRUE(On("startPrint")->isEnabled());
    EXPECT_FALSE(On("side")->isEnabled());

    // A laminator: no ribbon, no print data, but it can be started.
    On<QComboBox>("side")->setCurrentIndex(1);
    module->setCurrentIndex(1);
    EXPECT_EQ(Text("ribbon"), QString());
    for (const char* name : printerOnly)
        EXPECT_FALSE(On(name)->isEnabled()) << name;
    EXPECT_TRUE(On("startPrint")->isEnabled());
    EXPECT_TRUE(On("cardIn")->isEnabled());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetRibbonInfo")), 0);

    // Back to the printer: "Side" is reset; a failing ribbon query leaves the label empty and
    // its code as the page's result.
    sim.VelaSim_InjectFault("Vela_GetRibbonInfo", 0, 1, kInjected);
    module->setCurrentIndex(0);
    EXPECT_EQ(On<QComboBox>("side")->currentText(), QStringLiteral("Top"));
    EXPECT_EQ(Text("ribbon"), QString());
    EXPECT_EQ(page->LastResult(), static_cast<std::uint32_t>(kInjected));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PrintPageTest, RibbonWithoutANameShowsUnknown) {
    Connected(Chain(R"("ribbon": 10,)"));
    EXPECT_EQ(Text("ribbon"), QStringLiteral("Ribbon : Unknown (250/250)"));
}

TEST_F(PrintPageTest, OpenVdnRefusesBadPathsWithoutCallingTheSdk) {
    Connected();
    for (const char* path : {"", "/cards/card.VDN", "/cards/a.vdn.vdn", "/cards/card.vdn2"}) {
        boxes.clear();
        OpenDocument(QString::fromUtf8(path));
        EXPECT_EQ(BoxTexts(), Texts({"VDN filename is missing or invalid."})) << path;
        EXPECT_EQ(boxes.value(0).style, kWarning);
    }
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_OpenDocument")), 0);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetPrinterSettings")), 0);
}

TEST_F(PrintPageTest, PageRadiosFollowThePrinterSettings) {
    const struct {
        const char* what;
        QByteArray scenario;
        QString path;
        std::array<bool, 4> enabled;
        QStringList messages;
    } cases[] = {
        {"front and back", Chain(), Sample("id_card.vdn"), {true, true, false, false}, {}},
        {"two cards", Chain(), Sample("two_cards.vdn"), {true, false, true, true}, {}},
        // A failed open leaves the printer's own settings to decide.
        {"side 0 after a failed open",
         Chain(),
         Sample("missing.vdn"),
         {true, false, false, false},
         Texts({"Failed to load VDN file... (error=0x80000311)"})},
        {"side 2 after a failed open",
         R"({"devices": [{"name": "P", "modules": [{"id": 64, "printer": {"settings":
             {"904": 1, "908": 2}}}]}]})",
         Sample("missing.vdn"),
         {true, true, false, false},
         Texts({"Failed to load VDN file... (error=0x80000311)"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Connected(c.scenario);
        OpenDocument(c.path);
        EXPECT_EQ(BoxTexts(), c.messages);
        EXPECT_EQ(EnabledPages(), c.enabled);
        EXPECT_EQ(CheckedPage(), 0) << "the first enabled page is checked";
        const auto reads = sim.Calls(QStringLiteral("Vela_GetPrinterSettings"));
        ASSERT_EQ(reads.size(), 1);
        EXPECT_EQ(IntArgsOf(reads[0]), (QList<qint64>{0x40}));
        // The checked page is previewed at once, if the document could be opened.
        const auto previews = sim.Calls(QStringLiteral("Vela_GetPreviewBitmap"));
        ASSERT_EQ(previews.size(), 1);
        EXPECT_EQ(IntArgsOf(previews[0]), (QList<qint64>{0}));
        EXPECT_EQ(Preview().isNull(), !c.messages.isEmpty());
        window.reset();
    }
}

TEST_F(PrintPageTest, PreviewFollowsThePageChosenByMouseOrKeys) {
    Connected();
    // Typing the path and pressing Return opens it as the button does.
    auto* path = On<QLineEdit>("vdnPath");
    path->setFocus();
    QTest::keyClicks(path, Sample("id_card.vdn"));
    QTest::keyClick(path, Qt::Key_Return);
    ASSERT_EQ(CheckedPage(), 0);
    ASSERT_FALSE(Preview().isNull());
    EXPECT_EQ(Preview().size(), QSize(1012, 636));
    EXPECT_EQ(Preview().pixelColor(500, 600), QColor(0xE4, 0x7A, 0x2A)) << "front foot band";
    EXPECT_EQ(page->PreviewBitmap().size(), 40 + 3036 * 636);

    QTest::mouseClick(On<QRadioButton>("pageP1Back"), Qt::LeftButton);
    EXPECT_EQ(CheckedPage(), 1);
    EXPECT_EQ(Preview().pixelColor(500, 100), QColor(Qt::black)) << "back stripe";

    QTest::keyClick(On<QRadioButton>("pageP1Back"), Qt::Key_Left);
    EXPECT_EQ(CheckedPage(), 0);
    EXPECT_EQ(Preview().pixelColor(500, 600), QColor(0xE4, 0x7A, 0x2A));
    const auto previews = sim.Calls(QStringLiteral("Vela_GetPreviewBitmap"));
    ASSERT_EQ(previews.size(), 3);
    EXPECT_EQ(IntArgsOf(previews[1]), (QList<qint64>{1}));
    EXPECT_EQ(IntArgsOf(previews[2]), (QList<qint64>{0}));
    EXPECT_TRUE(boxes.empty());
}

// Document, page, print data, transfer, job id, print with a fed card: the card carries the
// print, the spooled picture shows the document's picture and text, and the card moves on.
TEST_F(PrintPageTest, WholeJobFromDocumentToSpooledCard) {
    Connected();
    ui.fileAnswers.push_back(Sample("id_card.vdn"));
    Press("browse");
    QCoreApplication::processEvents();  // "Open VDN" is posted
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].filter, QStringLiteral("Vela Design File (*.vdn)"));
    EXPECT_FALSE(ui.fileRequests[0].save);
    EXPECT_EQ(Text("vdnPath"), Sample("id_card.vdn"));
    EXPECT_TRUE(page->LastFolder().endsWith(QStringLiteral("/samples/")));
    ASSERT_EQ(CheckedPage(), 0);

    Press("makePrintData");
    EXPECT_EQ(Text("prnId"), QStringLiteral("0001"));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_DrawText")), 0) << "a document is open";
    const auto made = sim.Calls(QStringLiteral("Vela_PrintDocument"));
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(IntArgsOf(made[0]), (QList<qint64>{0x20}));
    const QJsonObject settings = Printer().value(QLatin1String("settings")).toObject();
    EXPECT_EQ(settings.value(QLatin1String("904")).toInt(), 1);
    EXPECT_FALSE(settings.contains(QLatin1String("908"))) << "front";
    EXPECT_FALSE(settings.contains(QLatin1String("5056")));

    Press("transferPrintData");
    EXPECT_EQ(Jobs(), 1);
    Press("getPrintDataId");
    EXPECT_EQ(Text("jobId"), QStringLiteral("0001"));
    EXPECT_EQ(ui.guiWaits, (std::vector<int>{100}));

    SetCardIn(true);
    Press("startPrint");
    ASSERT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_EQ(Jobs(), 0);
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_PrintStart")).value(0)),
              (QList<qint64>{0x40, 1, 0}));
    ASSERT_EQ(sim.VelaSim_GetCardModule(nullptr), 0x40) << "the fed card is in the printer";
    const QString file = sim.Card()
                             .value(QLatin1String("printed"))
                             .toObject()
                             .value(QLatin1String("top"))
                             .toObject()
                             .value(QLatin1String("file"))
                             .toString();
    ASSERT_EQ(SpoolFiles().size(), 1);
    EXPECT_EQ(QFileInfo(file).fileName(), SpoolFiles()[0]);
    const QImage printed(file);
    ASSERT_EQ(printed.size(), QSize(1012, 636));
    EXPECT_EQ(printed.pixelColor(60, 200), QColor(214, 218, 226)) << "the portrait's field";
    EXPECT_EQ(printed.pixelColor(160, 390), QColor(70, 96, 140)) << "the portrait's figure";
    EXPECT_EQ(printed.pixelColor(900, 100), QColor(0x1A, 0x46, 0x94)) << "the header band";
    EXPECT_GT(DarkPixels(printed, QRect(330, 200, 400, 80)), 300) << "the name";
    EXPECT_EQ(DarkPixels(printed, QRect(330, 140, 600, 50)), 0);

    // One print taken from the ribbon, as the label shows on the next selection.
    On<QComboBox>("currentModule")->setCurrentIndex(1);
    On<QComboBox>("currentModule")->setCurrentIndex(0);
    EXPECT_EQ(Text("ribbon"), QStringLiteral("Ribbon : YMCKO (249/250)"));

    // The card moves on with its print into the output stack; the queue is empty now.
    CVelaCommBinding& b = window->Binding();
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x40, 0, 0x70, 0, 0), 0);
    ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x70, 0, 0xFF, 0), 0);
    const QJsonArray stack = sim.Module(0x70).value(QLatin1String("stack")).toArray();
    ASSERT_EQ(stack.size(), 1);
    EXPECT_EQ(stack[0]
                  .toObject()
                  .value(QLatin1String("printed"))
                  .toObject()
                  .value(QLatin1String("top"))
                  .toObject()
                  .value(QLatin1String("file"))
                  .toString(),
              file);
    Press("getPrintDataId");
    EXPECT_EQ(BoxTexts(), Texts({"Error while GetCurrJobId... (error=0x80000313)"}));
    EXPECT_EQ(Text("jobId"), QString());
}

TEST_F(PrintPageTest, SecondCardOfADocumentPrintsItsOwnSide) {
    Connected();
    OpenDocument(Sample("two_cards.vdn"));
    QTest::mouseClick(On<QRadioButton>("pageP2Back"), Qt::LeftButton);
    MakeAndTransfer();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
    Press("startPrint");
    ASSERT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    const QJsonObject settings = Printer().value(QLatin1String("settings")).toObject();
    EXPECT_FALSE(settings.contains(QLatin1String("904")));
    EXPECT_EQ(settings.value(QLatin1String("5056")).toInt(), 1);
    EXPECT_EQ(settings.value(QLatin1String("5060")).toInt(), 1);
    const QImage printed(SpoolFiles().isEmpty() ? QString() : spool.filePath(SpoolFiles()[0]));
    ASSERT_FALSE(printed.isNull());
    EXPECT_EQ(printed.pixelColor(500, 100), QColor(Qt::black)) << "card 2's back stripe";
    EXPECT_GT(DarkPixels(printed, QRect(40, 260, 400, 70)), 200) << "\"Card 2: back\"";
}

TEST_F(PrintPageTest, BuiltInTestCardDependsOnTheRibbon) {
    const struct {
        const char* what;
        QByteArray scenario;
        bool background;
    } cases[] = {
        {"YMCKO", Chain(), true},
        {"K", Chain(R"("ribbon": 4,)"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& f : SpoolFiles())
            QFile::remove(spool.filePath(f));
        Connected(c.scenario);
        Press("makePrintData");
        ASSERT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
        const auto images = sim.Calls(QStringLiteral("Vela_DrawImage"));
        ASSERT_EQ(images.size(), c.background ? 1 : 0);
        if (c.background) {
            const QJsonArray args = images[0].value(QLatin1String("args")).toArray();
            EXPECT_EQ(IntArgsOf(images[0]).mid(0, 6), (QList<qint64>{0, 1, 0, 0, 0, 0}));
            EXPECT_EQ(QFileInfo(args[7].toString()).fileName(), QStringLiteral("bkgnd.bmp"));
            EXPECT_EQ(QFileInfo(args[7].toString()).absolutePath(),
                      QCoreApplication::applicationDirPath());
            EXPECT_EQ(args[8].toInt(), 0);
        }
        const auto texts = sim.Calls(QStringLiteral("Vela_DrawText"));
        ASSERT_EQ(texts.size(), 1);
        EXPECT_EQ(texts[0].value(QLatin1String("args")).toArray(),
                  (QJsonArray{texts[0].value(QLatin1String("args")).toArray()[0], 0, 2, 50, 100,
                              QStringLiteral("Tahoma"), 14, 1, QStringLiteral("Test Print"), 0}));
        EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_GetPreviewBitmap")).value(0)),
                  (QList<qint64>{0}));
        ASSERT_FALSE(Preview().isNull());
        EXPECT_EQ(Text("prnId").size(), 4);

        Press("transferPrintData");
        SetCardIn(true);
        Press("startPrint");
        ASSERT_EQ(SpoolFiles().size(), 1);
        const QImage printed(spool.filePath(SpoolFiles()[0]));
        EXPECT_GT(DarkPixels(printed, QRect(50, 100, 320, 70)), 300) << "\"Test Print\"";
        EXPECT_EQ(printed.pixelColor(700, 300),
                  c.background ? QColor(198, 222, 240) : QColor(Qt::white));
        EXPECT_EQ(printed.pixelColor(500, 600),
                  c.background ? QColor(228, 122, 42) : QColor(Qt::white));
        window.reset();
    }
}

TEST_F(PrintPageTest, JobQueueAnswersGetAndDeleteInOrder) {
    Connected();
    Press("makePrintData");
    Press("transferPrintData");
    const QString first = Text("prnId");
    Press("makePrintData");
    Press("transferPrintData");
    const QString second = Text("prnId");
    ASSERT_NE(first, second);
    Press("getPrintDataId");
    EXPECT_EQ(Text("jobId"), first);
    Press("deletePrintData");
    Press("getPrintDataId");
    EXPECT_EQ(Text("jobId"), second);
    Press("deletePrintData");
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    Press("deletePrintData");
    EXPECT_EQ(BoxTexts(), Texts({"Error while DeleteCurrPrintJob... (error=0x80000313)"}));

    // A printer with no job and no card refuses, and no card is fed for it.
    boxes.clear();
    SetCardIn(true);
    Press("startPrint");
    EXPECT_EQ(BoxTexts(), Texts({"Error while Print or Laminate... (error=0x80000313)"}));
    EXPECT_EQ(sim.VelaSim_GetCardModule(nullptr), 0xFF);
    EXPECT_TRUE(SpoolFiles().isEmpty());
}

TEST_F(PrintPageTest, LaminatorNeedsACardAndCoversItsUpperSide) {
    Connected();
    On<QComboBox>("currentModule")->setCurrentIndex(1);
    Press("startPrint");
    EXPECT_EQ(BoxTexts(), Texts({"Error while Print or Laminate... (error=0x80000301)"}));
    EXPECT_EQ(boxes[0].style, kWarning);
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_PrintStart")).value(0)),
              (QList<qint64>{0x50, 0, 0}));

    boxes.clear();
    SetCardIn(true);
    Press("startPrint");
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    ASSERT_EQ(sim.VelaSim_GetCardModule(nullptr), 0x50);
    EXPECT_TRUE(sim.Card()
                    .value(QLatin1String("printed"))
                    .toObject()
                    .value(QLatin1String("top"))
                    .toObject()
                    .value(QLatin1String("laminated"))
                    .toBool());
}

// Every message of the page, each caused by a failure injected into one SDK call: the text, the
// icon, and that the steps after the failing one are not attempted.
TEST_F(PrintPageTest, EveryFailureShowsItsMessageAndStops) {
    struct Case {
        const char* fn;
        std::function<void()> prepare;
        const char* action;
        const char* message;  // "" for none
        std::function<void()> check;
    };
    const auto open = [this] { OpenDocument(Sample("id_card.vdn")); };
    const auto made = [this] { Press("makePrintData"); };
    const auto queued = [this] { MakeAndTransfer(); };
    const auto nothing = [] {};
    const auto noCall = [this](const char* fn) {
        return
            [this, fn] { EXPECT_EQ(sim.CountCalls(QLatin1String(fn)), 0) << fn << " was called"; };
    };
    const Case cases[] = {
        {"Vela_OpenDocument", nothing, "open", "Failed to load VDN file... (error=0x8000ABCD)",
         [this] { EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetPrinterSettings")), 1); }},
        {"Vela_GetPrinterSettings", nothing, "open",
         "Error while Get/SetPrinterSettings... (error=0x8000ABCD)",
         [this] {
             EXPECT_EQ(EnabledPages(), (std::array<bool, 4>{}));
             EXPECT_TRUE(Preview().isNull());
         }},
        {"Vela_GetPrinterSettings", nothing, "makePrintData",
         "Error while Get/SetPrinterSettings... (error=0x8000ABCD)",
         noCall("Vela_SetPrinterSettings")},
        {"Vela_SetPrinterSettings", nothing, "makePrintData",
         "Error while Get/SetPrinterSettings... (error=0x8000ABCD)", noCall("Vela_DrawImage")},
        {"Vela_DrawImage", nothing, "makePrintData", "Error while DrawImage... (error=0x8000ABCD)",
         noCall("Vela_DrawText")},
        {"Vela_DrawText", nothing, "makePrintData", "Error while DrawText... (error=0x8000ABCD)",
         noCall("Vela_PrintDocument")},
        {"Vela_PrintDocument", made, "makePrintData",
         "Error while PrintDocument... (error=0x8000ABCD)",
         [this] {
             EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetMyPrnId")), 0);
             EXPECT_EQ(Text("prnId"), QStringLiteral("0001")) << "the last print data stays";
             EXPECT_EQ(page->PrintDataHandle(), 1);
         }},
        {"Vela_GetMyPrnId", nothing, "makePrintData",
         "Error while GetMyPrnId... (error=0x8000ABCD)",
         [this] { EXPECT_EQ(Text("prnId"), QString()); }},
        {"Vela_GetMyPrnData", made, "transferPrintData",
         "Error while SendPrnData... (error=0x8000ABCD)", noCall("Vela_ExWriteData")},
        {"Vela_ExWriteData", made, "transferPrintData",
         "Error while SendPrnData... (error=0x8000ABCD)", [this] { EXPECT_EQ(Jobs(), 0); }},
        {"Vela_UpdateCurrPrintJob", queued, "getPrintDataId",
         "Error while UpatePrintJob... (error=0x8000ABCD)",
         [this] {
             EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetCurrPrintJob")), 0);
             EXPECT_TRUE(ui.guiWaits.empty());
         }},
        {"Vela_GetCurrPrintJob", queued, "getPrintDataId",
         "Error while GetCurrJobId... (error=0x8000ABCD)",
         [this] { EXPECT_EQ(Text("jobId"), QString()); }},
        {"Vela_DeleteCurrPrintJob", queued, "deletePrintData",
         "Error while DeleteCurrPrintJob... (error=0x8000ABCD)", [this] { EXPECT_EQ(Jobs(), 1); }},
        {"Vela_PrintStart", queued, "startPrint",
         "Error while Print or Laminate... (error=0x8000ABCD)",
         [this] {
             EXPECT_EQ(Jobs(), 1);
             EXPECT_EQ(sim.VelaSim_GetCardModule(nullptr), 0xFF);
             EXPECT_TRUE(SpoolFiles().isEmpty());
         }},
        {"Vela_CloseDocument", open, "clearDocument",
         "Failed to clear document... (error=0x8000ABCD)",
         [this] {
             EXPECT_EQ(EnabledPages(), (std::array<bool, 4>{}));
             EXPECT_EQ(CheckedPage(), -1);
             EXPECT_TRUE(Preview().isNull());
         }},
        // A preview that fails shows no box: the frame empties and the line under it says why.
        {"Vela_GetPreviewBitmap", open, "pageP1Back", "",
         [this] {
             EXPECT_TRUE(Preview().isNull());
             EXPECT_TRUE(page->PreviewBitmap().isEmpty());
             EXPECT_TRUE(Text("previewStatus").contains(QStringLiteral("0x8000ABCD")));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fn << " in " << c.action);
        Connected();
        SetCardIn(true);
        c.prepare();
        ASSERT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
        sim.VelaSim_ClearCallLog();
        ui.guiWaits.clear();
        sim.VelaSim_InjectFault(c.fn, 0, 1, kInjected);
        if (std::string_view(c.action) == "open")
            open();
        else if (std::string_view(c.action).starts_with("page"))
            QTest::mouseClick(On<QRadioButton>(c.action), Qt::LeftButton);
        else
            Press(c.action);
        if (*c.message == '\0') {
            EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
        } else {
            EXPECT_EQ(BoxTexts(), Texts({c.message}));
            EXPECT_EQ(boxes.value(0).style, kWarning);
        }
        c.check();
        window.reset();
    }
}

TEST_F(PrintPageTest, DisconnectClosesTheDocumentAndEmptiesThePage) {
    Connected();
    OpenDocument(Sample("id_card.vdn"));
    Press("makePrintData");
    ASSERT_FALSE(Text("prnId").isEmpty());
    Click("connect");  // now "Disconnect"
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    const auto closes = sim.Calls(QStringLiteral("Vela_CloseDocument"));
    ASSERT_EQ(closes.size(), 1);
    EXPECT_EQ(closes[0].value(QLatin1String("result")).toInt(), 0) << "closed while connected";
    EXPECT_EQ(EnabledPages(), (std::array<bool, 4>{}));
    EXPECT_TRUE(Preview().isNull());
    EXPECT_EQ(On<QComboBox>("currentModule")->count(), 0);
    EXPECT_EQ(Text("ribbon"), QString());
    EXPECT_EQ(Text("prnId"), QString());
    EXPECT_FALSE(On("startPrint")->isEnabled());
    EXPECT_FALSE(On("makePrintData")->isEnabled());

    // Pressed anyway (a driver, a queued click): no module, no call.
    sim.VelaSim_ClearCallLog();
    page->OnStartPrint();
    EXPECT_EQ(BoxTexts(), Texts({"Invalid Module ID..."}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_PrintStart")), 0);
}

TEST_F(PrintPageTest, EveryInputIsLabelledAndTabFollowsReadingOrder) {
    Connected();
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w))
            continue;
        bool labelled = !w->accessibleName().isEmpty();
        for (QLabel* label : page->findChildren<QLabel*>())
            labelled = labelled || label->buddy() == w;
        EXPECT_TRUE(labelled) << w->objectName().toStdString();
    }
    const QStringList expected = {QStringLiteral("currentModule"),
                                  QStringLiteral("openVdn"),
                                  QStringLiteral("vdnPath"),
                                  QStringLiteral("browse"),
                                  QStringLiteral("pageP1Front"),
                                  QStringLiteral("pageP1Back"),
                                  QStringLiteral("pageP2Front"),
                                  QStringLiteral("pageP2Back"),
                                  QStringLiteral("makePrintData"),
                                  QStringLiteral("prnId"),
                                  QStringLiteral("deletePrintData"),
                                  QStringLiteral("transferPrintData"),
                                  QStringLiteral("getPrintDataId"),
                                  QStringLiteral("jobId"),
                                  QStringLiteral("startPrint"),
                                  QStringLiteral("cardIn"),
                                  QStringLiteral("side"),
                                  QStringLiteral("clearDocument")};
    QStringList chain;
    QWidget* w = On("currentModule");
    for (int i = 0; i < 400 && chain.size() < expected.size(); ++i, w = w->nextInFocusChain())
        if (expected.contains(w->objectName()) && !chain.contains(w->objectName()))
            chain << w->objectName();
    EXPECT_EQ(chain, expected);
}

}  // namespace
}  // namespace halvard::test
