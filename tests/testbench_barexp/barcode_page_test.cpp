// The Barcode page against the simulated scanner: its module selector and enabling rule, each
// command's SDK call and what it shows, the folder chooser and the saved bitmaps, every failure
// in its warning box, and buffers the SDK fills badly.

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>

#include <array>
#include <cstring>
#include <utility>

#include "CSubDlgBarcode.h"
#include "barexp_fixture.h"
#include "fake_page_host.h"
#include "vela_scanner.h"

namespace halvard::test {

QStringList TabOrder(QWidget* page) {
    QStringList names;
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain())
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) &&
            !w->objectName().isEmpty())
            names << w->objectName();
    return names;
}

QStringList Unlabelled(QWidget* page) {
    QSet<QWidget*> named;
    for (QLabel* label : page->findChildren<QLabel*>())
        named.insert(label->buddy());
    QStringList out;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        const bool input = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QPlainTextEdit*>(w);
        if (input && !named.contains(w) && w->accessibleName().isEmpty())
            out << w->objectName();
    }
    return out;
}

namespace {

namespace sc = vela::scanner;
using Args = QList<qint64>;
constexpr VelaResult kBusy = static_cast<VelaResult>(0x80000302);

class BarcodePageTest : public PageTest<CSubDlgBarcode> {
protected:
    QString Data() { return On<QPlainTextEdit>("barcodeData")->toPlainText(); }
    bool Usable() { return On<QPushButton>("scanning")->isEnabled(); }
};

TEST_F(BarcodePageTest, ListsFlippersAndFollowsTheScannerBitsAndRecording) {
    Connected();
    auto* selector = On<QComboBox>("scannerModule");
    ASSERT_EQ(selector->count(), 2);
    EXPECT_EQ(selector->itemText(0), QStringLiteral("F [61]"));
    EXPECT_EQ(selector->itemText(1), QStringLiteral("F [62]"));
    EXPECT_EQ(page->GetCurrentModule(), 0x61);
    EXPECT_TRUE(Usable());

    // A flipper whose board says it has no scanner: every control but the selector goes.
    ASSERT_EQ(sim.VelaSim_SetStatusBits(nullptr, 0x62, 0x201000, 0), 0);
    Pick("scannerModule", 0x62);
    EXPECT_FALSE(Usable());
    for (const char* name : {"readBarcodeData", "areaX1", "imageDpi", "setGain", "barcodeData"})
        EXPECT_FALSE(On(name)->isEnabled()) << name;
    EXPECT_TRUE(selector->isEnabled());
    ASSERT_EQ(sim.VelaSim_SetStatusBits(nullptr, 0x62, 0x1000, 0x200000), 0);
    page->OnPageShown();
    EXPECT_TRUE(Usable()) << "bit 12 alone does not disable";

    window->SetMacroRecording(1);
    page->OnPageShown();
    EXPECT_FALSE(Usable());
    EXPECT_TRUE(selector->isEnabled());
}

TEST_F(BarcodePageTest, EveryFieldIsNamedAndTabFollowsReadingOrder) {
    Connected();
    EXPECT_TRUE(Unlabelled(page).isEmpty()) << Unlabelled(page).join(u' ').toStdString();
    EXPECT_EQ(TabOrder(page).mid(0, 14),
              Texts({"scannerModule", "scanning", "readBarcodeData", "barcodeSide", "barcodeData",
                     "saveScannedImage", "setScanningArea", "areaX1", "areaY1", "areaX2", "areaY2",
                     "getVersion", "scannerVersion", "reset"}));
    EXPECT_EQ(TabOrder(page).mid(14, 8),
              Texts({"imageDpi", "imageMode", "imageSide", "imageFace", "imageDrop",
                     "getImageConfig", "setImageConfig", "saveImageConfig"}));
    EXPECT_EQ(TabOrder(page).mid(TabOrder(page).size() - 4),
              Texts({"configShading", "setShading", "doShading", "restoreDefault"}));
    // The data box hands Tab on rather than taking it.
    auto* data = On<QPlainTextEdit>("barcodeData");
    EXPECT_TRUE(data->tabChangesFocus());
}

TEST_F(BarcodePageTest, AChainWithoutFlippersLeavesTheSelectorEmpty) {
    Connected(R"({"devices": [{"name": "P", "modules": [{"id": 16}, {"id": 64}]}]})");
    EXPECT_EQ(On<QComboBox>("scannerModule")->count(), 0);
    EXPECT_EQ(page->GetCurrentModule(), 0xFF);
    page->OnPageShown();
    EXPECT_EQ(CallsOf("Vela_GetStatus").count(Args{0xFF}), 1);
    Press("scanning");
    EXPECT_EQ(CallsOf("Vela_ReadEncoder"), (QList<Args>{{0xFF, 0x10, 0}}));
    EXPECT_EQ(BoxTexts(), Texts({"Error while BarcodeRead. error=80000300"}));
}

TEST_F(BarcodePageTest, ScansAndReadsEachSide) {
    Connected();
    ASSERT_EQ(sim.VelaSim_InsertCard(nullptr, 0x61, R"({"serial": 5})"), 0);
    Press("scanning");
    Press("readBarcodeData");
    EXPECT_EQ(Data(), QStringLiteral("HV000005T\n"));
    Pick("barcodeSide", 14);
    Press("readBarcodeData");
    EXPECT_EQ(Data(), QStringLiteral("HV000005B\n"));
    EXPECT_EQ(CallsOf("Vela_ReadEncoder"), (QList<Args>{{0x61, 0x10, 0}}));
    EXPECT_EQ(CallsOf("Vela_RunEncoder"),
              (QList<Args>{{0x61, 0x10, 13, 1024}, {0x61, 0x10, 14, 1024}}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(page->LastResult(), 0u);
}

TEST_F(BarcodePageTest, SavesTheScannedImagesIntoTheChosenFolder) {
    Connected();
    ASSERT_EQ(sim.VelaSim_InsertCard(nullptr, 0x61, R"({"serial": 9})"), 0);
    Press("scanning");
    const QString before = CSubDlgBarcode::RememberedImageFolder();

    ui.fileAnswers = {QString()};  // cancelled
    Press("saveScannedImage");
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_TRUE(ui.fileRequests[0].folder);
    EXPECT_EQ(ui.fileRequests[0].caption,
              QStringLiteral("Please choose the Directory for Save Image..."));
    EXPECT_EQ(ui.fileRequests[0].startPath, before);
    EXPECT_TRUE(CallsOf("Vela_RunEncoder").isEmpty());

    QTemporaryDir dir;
    ui.fileAnswers = {dir.path(), dir.path()};
    Press("saveScannedImage");
    EXPECT_EQ(CSubDlgBarcode::RememberedImageFolder(), QDir::toNativeSeparators(dir.path()));
    const auto calls = sim.Calls(QStringLiteral("Vela_RunEncoder"));
    ASSERT_EQ(calls.size(), 1);
    const QJsonArray args = calls[0].value(QLatin1String("args")).toArray();
    EXPECT_EQ(args[3].toInteger(), 12);
    EXPECT_EQ(args[4].toInteger(), static_cast<qint64>(2 * sizeof(void*)))
        << "the record's own length, not a fixed 8";
    EXPECT_EQ(args[5].toString(), QString(dir.path() + QStringLiteral("/scan_top.bmp")));
    EXPECT_EQ(args[6].toString(), QString(dir.path() + QStringLiteral("/scan_bottom.bmp")));
    EXPECT_TRUE(boxes.empty());

    QImageReader reader(dir.filePath(QStringLiteral("scan_bottom.bmp")));
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), QSize(1012, 636));
    QString decoded;
    for (int y = image.height() - 1; y >= 0 && decoded.isEmpty(); y -= 4)
        decoded = DecodeCode39Row(image, y);
    EXPECT_EQ(decoded, QStringLiteral("HV000009B"));

    // The next choice starts from the folder picked last.
    Press("saveScannedImage");
    EXPECT_EQ(ui.fileRequests.back().startPath, QDir::toNativeSeparators(dir.path()));
}

TEST_F(BarcodePageTest, EveryFailureShowsItsWarningAndKeepsTheBoxes) {
    struct Case {
        const char* button;
        const char* fn;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"scanning", "Vela_ReadEncoder", "Error while BarcodeRead. error=80000302"},
        {"readBarcodeData", "Vela_RunEncoder", "Error while BarcodeGetData. error=80000302"},
        {"saveScannedImage", "Vela_RunEncoder", "Error while BarcodeGetImage. error=80000302"},
        {"setScanningArea", "Vela_RunEncoder",
         "Error while Barcode Set Scanning Area. error=80000302"},
        {"getVersion", "Vela_RunEncoder", "Error while Barcode Get Version. error=80000302"},
        {"reset", "Vela_RunEncoder", "Error while Barcode Reset. error=80000302"},
        {"getImageConfig", "Vela_GetEncConfig2",
         "Error while Barcode Get Image Config. error=80000302"},
        {"setImageConfig", "Vela_SetEncConfig2",
         "Error while Barcode Set Image Config. error=80000302"},
        {"saveImageConfig", "Vela_RunEncoder",
         "Error while Barcode Save Image Config. error=80000302"},
        {"getConfig", "Vela_GetEncConfig2", "Error while Barcode Get Config. error=80000302"},
        {"setGain", "Vela_SetEncConfig2", "Error while Barcode Set Gain. error=80000302"},
        {"setOffset", "Vela_SetEncConfig2", "Error while Barcode Set Offset. error=80000302"},
        {"setSpeed", "Vela_SetEncConfig2", "Error while Barcode Set Speed. error=80000302"},
        {"setShading", "Vela_SetEncConfig2", "Error while Barcode Set Shading. error=80000302"},
        {"doShading", "Vela_RunEncoder", "Error while Barcode Do Shading. error=80000302"},
        {"restoreDefault", "Vela_RunEncoder",
         "Error while Barcode Restore Dfeault. error=80000302"},
    };
    Connected();
    QTemporaryDir dir;
    for (const Case& c : cases) {
        for (const char* box : {"scannerVersion", "imageDpi", "configGain", "configState"})
            On<QLineEdit>(box)->setText(QStringLiteral("123"));
        boxes.clear();
        ui.fileAnswers = {dir.path()};
        sim.VelaSim_InjectFault(c.fn, 0, 1, kBusy);
        Press(c.button);
        sim.VelaSim_ClearFaults();
        EXPECT_EQ(BoxTexts(), Texts({c.message})) << c.button;
        EXPECT_EQ(boxes.value(0).style, mb::kIconWarning) << c.button;
        EXPECT_EQ(page->LastResult(), 0x80000302u) << c.button;
        for (const char* box : {"scannerVersion", "imageDpi", "configGain", "configState"})
            EXPECT_EQ(Text(box), QStringLiteral("123")) << c.button << " " << box;
    }

    // With the device closed nothing reaches the SDK and every command fails with -1.
    Click("connect");
    boxes.clear();
    sim.VelaSim_ClearCallLog();
    Press("getConfig");
    EXPECT_EQ(BoxTexts(), Texts({"Error while Barcode Get Config. error=FFFFFFFF"}));
    EXPECT_TRUE(sim.Calls(QStringLiteral("Vela_GetEncConfig2")).isEmpty());
}

TEST_F(BarcodePageTest, SettingsTravelBetweenBoxesAndScanner) {
    Connected();
    Press("getImageConfig");
    EXPECT_EQ((QStringList{Text("imageDpi"), Text("imageMode"), Text("imageSide"),
                           Text("imageFace"), Text("imageDrop")}),
              Texts({"300", "0", "0", "0", "0"}));
    On<QLineEdit>("imageDpi")->setText(QStringLiteral("150"));
    On<QLineEdit>("imageFace")->setText(QStringLiteral("-1"));
    Press("setImageConfig");
    On<QLineEdit>("configGain")->clear();  // a box without a number sends 0
    Press("setGain");
    const std::array<std::pair<const char*, const char*>, 4> area = {
        {{"areaX1", "10"}, {"areaY1", "20"}, {"areaX2", "400"}, {"areaY2", "500"}}};
    for (const auto& [name, value] : area)
        On<QLineEdit>(name)->setText(QString::fromLatin1(value));
    Press("setScanningArea");
    Press("getConfig");
    Press("getVersion");
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_EQ(Text("configDpi"), QStringLiteral("150"));
    EXPECT_EQ(Text("configFace"), QStringLiteral("-1"));
    EXPECT_EQ(Text("configWidth"), QStringLiteral("506"));
    EXPECT_EQ(Text("configGain"), QStringLiteral("0"));
    EXPECT_EQ(Text("configSpeed"), QStringLiteral("3"));
    EXPECT_EQ(Text("scannerVersion"), QStringLiteral("SCN 1.04"));

    const auto hex = [this](const char* fn) {
        QStringList out;
        for (const QJsonObject& call : sim.Calls(QString::fromLatin1(fn)))
            for (const QJsonValue& arg : call.value(QLatin1String("args")).toArray())
                if (arg.isString())
                    out << arg.toString();
        return out;
    };
    // The records as the scanner received them, little-endian 32-bit values.
    EXPECT_EQ(hex("Vela_SetEncConfig2"),
              Texts({"960000000000000000000000FFFFFFFF00000000", "00000000"}));
    EXPECT_EQ(hex("Vela_RunEncoder").value(0), QStringLiteral("0A0000001400000090010000F4010000"));
}

// ---- Buffers the SDK fills: the page on its own, with a stand-in for the scanner's call ----

struct Stand {
    static inline std::vector<VelaChar> fill;
    static inline std::int32_t answer = 0;
    static VelaResult VELA_API RunEncoder(VelaHandle, std::int32_t, std::int32_t, std::int32_t op,
                                          void* data, std::int32_t* length) {
        if (op == sc::kOpReset) {
            std::memcpy(data, &answer, sizeof(answer));
            return 0;
        }
        const size_t units = static_cast<size_t>(*length) / sizeof(VelaChar);
        std::memcpy(data, fill.data(), std::min(units, fill.size()) * sizeof(VelaChar));
        return 0;
    }
};

TEST(BarcodePageBuffers, ShowsWhatTheBufferHoldsAndNeverReadsPastIt) {
    UiRecorder ui;
    FakePageHost host;
    ASSERT_TRUE(host.OpenSimulatorDevice());
    host.binding.Vela_RunEncoder = &Stand::RunEncoder;
    CSubDlgBarcode page(host);
    auto* data = page.findChild<QPlainTextEdit*>(QStringLiteral("barcodeData"));
    auto* read = page.findChild<QPushButton*>(QStringLiteral("readBarcodeData"));

    const std::u16string two(u"FIRST\0SECOND\0\0", 14);
    Stand::fill.assign(two.begin(), two.end());
    read->click();
    EXPECT_EQ(data->toPlainText(), QStringLiteral("FIRST\nSECOND\n"));

    // A buffer without any terminator: its 512 characters, no more.
    Stand::fill.assign(512, u'X');
    read->click();
    EXPECT_EQ(data->toPlainText(), QString(512, u'X') + u'\n');
    Stand::fill.assign(64, u'V');
    page.findChild<QPushButton*>(QStringLiteral("getVersion"))->click();
    EXPECT_EQ(page.findChild<QLineEdit*>(QStringLiteral("scannerVersion"))->text(),
              QString(64, u'V'));

    // The call succeeds but the scanner answers 5.
    Stand::answer = 5;
    page.findChild<QPushButton*>(QStringLiteral("reset"))->click();
    EXPECT_EQ(ui.MessageTexts(), Texts({"Error while Barcode Reset. error=00000005"}));
    EXPECT_EQ(ui.messages.value(0).style, mb::kIconWarning);
    EXPECT_EQ(page.LastResult(), 5u);
}

}  // namespace
}  // namespace halvard::test
