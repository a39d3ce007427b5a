// The simulator's printing exports called as the SDK's callers call them: what they refuse, that
// a refusal changes nothing, and the settings fields that shape the print.

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>

#include <functional>

#include "CVelaCommBinding.h"
#include "print_logic.h"
#include "sdk_text.h"
#include "sim_codes.h"
#include "sim_control.h"
#include "sim_document.h"
#include "sim_print_data.h"

namespace halvard::test {
namespace {

constexpr const char* kSystem = R"({"devices": [{"name": "P", "modules": [{"id": 16, "cards": 3},
    {"id": 64}, {"id": 80}, {"id": 112}]}]})";

class SimPrinting : public ::testing::Test {
public:  // the table-driven cases reach the fixture through a reference
    void SetUp() override {
        ASSERT_TRUE(b.LoadFrom(SimulatorLibrary()));
        sim = std::make_unique<SimControl>(b);
        sim->Fresh();
        ASSERT_TRUE(spool.isValid() && pictures.isValid());
        qputenv("VELASIM_SPOOL_DIR", spool.path().toLocal8Bit());
        // A picture to draw: red, 10 x 10.
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        picture = pictures.filePath(QStringLiteral("red.png"));
        ASSERT_TRUE(red.save(picture));
        Start();
    }
    void TearDown() override { qunsetenv("VELASIM_SPOOL_DIR"); }
    // The system as it starts, connected.
    void Start() {
        ASSERT_EQ(sim->VelaSim_LoadScenario(kSystem), 0);
        sim->VelaSim_SetTimeScale(0);
        b.m_hDevice = 0;
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"P", 1, 2), 0);
    }

    // Draws a red block in the top-left corner of card 1's front and makes print data of it.
    std::int32_t MakePrintData() {
        const auto path = ToSdkText(picture);
        EXPECT_EQ(b.Device(b.Vela_DrawImage, 0, 1, 0, 0, 100, 50, path.c_str(), 0), 0);
        std::int32_t handle = 0;
        EXPECT_EQ(b.Device(b.Vela_PrintDocument, 0x20, &handle), 0);
        return handle;
    }
    void Queue() {
        const std::int32_t handle = MakePrintData();
        const std::uint8_t* data = nullptr;
        std::int32_t size = 0;
        ASSERT_EQ(b.Device(b.Vela_GetMyPrnData, handle, 0, &data, &size), 0);
        ASSERT_EQ(b.Device(b.Vela_ExWriteData, data, size), 0);
    }
    QJsonObject Printer() { return sim->Module(0x40).value(QLatin1String("printer")).toObject(); }
    int Jobs() { return static_cast<int>(Printer().value(QLatin1String("jobs")).toArray().size()); }
    int HopperCards() { return sim->Module(0x10).value(QLatin1String("cards")).toInt(); }

    CVelaCommBinding b;
    std::unique_ptr<SimControl> sim;
    QTemporaryDir spool, pictures;
    QString picture;
};

TEST_F(SimPrinting, PrintStartRefusesAndChangesNothing) {
    const struct {
        const char* what;
        std::function<void(SimPrinting&)> setup;
        int module;
        int cardIn;
        VelaResult code;
    } cases[] = {
        {"no job", [](SimPrinting&) {}, 0x40, 1, sim::kErrNoJob},
        {"no card", [](SimPrinting& t) { t.Queue(); }, 0x40, 0, sim::kErrNoCard},
        {"used-up ribbon",
         [](SimPrinting& t) {
             t.Queue();
             t.sim->VelaSim_SetModuleJson(nullptr, 0x40,
                                          R"({"printer": {"ribbon": {"remaining": 0}}})");
         },
         0x40, 1, sim::kErrRibbon},
        {"a ribbon no printer takes",
         [](SimPrinting& t) {
             t.Queue();
             t.sim->VelaSim_SetModuleJson(nullptr, 0x40,
                                          R"({"printer": {"ribbon": {"type": 10}}})");
         },
         0x40, 1, sim::kErrRibbon},
        {"empty hopper",
         [](SimPrinting& t) {
             t.Queue();
             t.sim->VelaSim_SetModuleJson(nullptr, 0x10, R"({"cards": 0})");
         },
         0x40, 1, sim::kErrHopperEmpty},
        {"a card already in transport",
         [](SimPrinting& t) {
             t.Queue();
             t.sim->VelaSim_SetCardModule(nullptr, 0x50);
         },
         0x40, 1, sim::kErrBusy},
        {"laminator without a card", [](SimPrinting&) {}, 0x50, 0, sim::kErrNoCard},
        {"an output hopper", [](SimPrinting&) {}, 0x70, 1, sim::kErrBadArgument},
        {"no such module", [](SimPrinting&) {}, 0x41, 1, sim::kErrNoModule},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        c.setup(*this);
        const int jobs = Jobs();
        const int cards = HopperCards();
        const int card = sim->VelaSim_GetCardModule(nullptr);
        const QJsonValue ribbon = Printer().value(QLatin1String("ribbon"));
        EXPECT_EQ(b.Device(b.Vela_PrintStart, c.module, c.cardIn, 0), c.code);
        EXPECT_EQ(Jobs(), jobs);
        EXPECT_EQ(HopperCards(), cards);
        EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), card);
        EXPECT_EQ(Printer().value(QLatin1String("ribbon")), ribbon);
        EXPECT_TRUE(QDir(spool.path()).entryList({QStringLiteral("*.png")}).isEmpty());
    }
}

TEST_F(SimPrinting, CallsCheckWhatTheyAreGiven) {
    PrinterSettings settings{};
    EXPECT_EQ(b.Device(b.Vela_GetPrinterSettings, 0x50, &settings), sim::kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_SetPrinterSettings, 0x41, &settings), sim::kErrNoModule);
    EXPECT_EQ(b.Device(b.Vela_GetPrinterSettings, 0x40, nullptr), sim::kErrBadArgument);

    VelaBitmap bitmap{reinterpret_cast<const std::uint8_t*>("stale"), 5};
    EXPECT_EQ(b.Device(b.Vela_GetPreviewBitmap, 0, &bitmap), sim::kErrNoDocument);
    EXPECT_EQ(bitmap.dib, nullptr) << "a refusal hands out no stale bitmap";
    EXPECT_EQ(bitmap.size, 0);

    const std::int32_t handle = MakePrintData();
    const std::uint8_t* data = nullptr;
    std::int32_t size = 0;
    EXPECT_EQ(b.Device(b.Vela_GetMyPrnData, handle + 1, 0, &data, &size), sim::kErrBadArgument);
    EXPECT_EQ(b.Device(b.Vela_GetMyPrnData, handle, 1, &data, &size), sim::kErrNoPage)
        << "the settings chose card 1's front only";
    EXPECT_EQ(data, nullptr);
    std::int32_t id = 0;
    EXPECT_EQ(b.Device(b.Vela_GetMyPrnId, handle, 4, &id), sim::kErrNoPage);

    const std::uint8_t junk[64] = {'V', 'P', 'R', 'N'};
    EXPECT_EQ(b.Device(b.Vela_ExWriteData, junk, 64), sim::kErrBadPrintData);
    EXPECT_EQ(b.Device(b.Vela_ExWriteData, nullptr, 64), sim::kErrBadArgument);
    ASSERT_EQ(b.Device(b.Vela_GetMyPrnData, handle, 0, &data, &size), 0);
    EXPECT_EQ(b.Device(b.Vela_ExWriteData, data, size - 1), sim::kErrBadPrintData);
    EXPECT_EQ(Jobs(), 0);
    // Print data made for a printer the chain lacks is no job for it.
    std::optional<sim::PrintPage> page = sim::DecodePrintData(data, size);
    ASSERT_TRUE(page.has_value());
    page->module = 0x41;
    const QByteArray elsewhere = sim::EncodePrintData(*page);
    EXPECT_EQ(
        b.Device(b.Vela_ExWriteData, reinterpret_cast<const std::uint8_t*>(elsewhere.constData()),
                 static_cast<std::int32_t>(elsewhere.size())),
        sim::kErrNoModule);
    EXPECT_EQ(Jobs(), 0);
}

TEST_F(SimPrinting, SettingsTurnAndMirrorThePrintAndADrawnDocumentIsUsedUp) {
    const struct {
        bool rotate, mirror;
        QPoint red;  // where the red block's corner lands
    } cases[] = {{false, false, {5, 5}},
                 {true, false, {sim::kCardWidth - 6, sim::kCardHeight - 6}},
                 {false, true, {sim::kCardWidth - 6, 5}},
                 {true, true, {5, sim::kCardHeight - 6}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rotate << c.mirror);
        PrinterSettings settings{};
        ASSERT_EQ(b.Device(b.Vela_GetPrinterSettings, 0x40, &settings), 0);
        print::SetSettingAt(settings, printer_settings::kRotate180, c.rotate ? 1 : 0);
        print::SetSettingAt(settings, printer_settings::kMirror, c.mirror ? 1 : 0);
        ASSERT_EQ(b.Device(b.Vela_SetPrinterSettings, 0x40, &settings), 0);
        const std::int32_t handle = MakePrintData();
        const std::uint8_t* data = nullptr;
        std::int32_t size = 0;
        ASSERT_EQ(b.Device(b.Vela_GetMyPrnData, handle, 0, &data, &size), 0);
        const std::optional<sim::PrintPage> page = sim::DecodePrintData(data, size);
        ASSERT_TRUE(page.has_value());
        EXPECT_EQ(page->image.pixelColor(c.red), QColor(Qt::red));
        EXPECT_EQ(page->image.pixelColor(sim::kCardWidth / 2, sim::kCardHeight / 2),
                  QColor(Qt::white));
        std::int32_t again = 0;
        EXPECT_EQ(b.Device(b.Vela_PrintDocument, 0x20, &again), sim::kErrNoDocument)
            << "the drawing went into the print data";
    }
}

}  // namespace
}  // namespace halvard::test
