// The page's configuration data file, test print and card preview.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CCardPreview.h"
#include "CSpinEdit.h"
#include "message_service.h"
#include "page_fixture.h"

using namespace halvard::test;
namespace mb = halvard::mb;

namespace {

// Every text and selection the user sees in the parameter controls and the header.
QStringList ControlSnapshot(const QWidget& root) {
    QStringList out;
    for (const QLineEdit* e : root.findChildren<QLineEdit*>()) {
        if (e->objectName().isEmpty() || e->objectName() == u"loginPassword")
            continue;
        if (e->objectName().startsWith(u"total") || e->objectName().startsWith(u"user") ||
            e->objectName().startsWith(u"factory"))
            continue;  // counters are not part of the file
        out << e->objectName() + u'=' + e->text().trimmed();
    }
    for (const QComboBox* c : root.findChildren<QComboBox*>())
        if (!c->objectName().isEmpty() && c->objectName() != u"deviceSelector")
            out << c->objectName() + u'=' + c->currentText();
    out.sort();
    return out;
}

// Points the user's temporary folder somewhere the test can look into.
class TempFolderScope {
public:
    explicit TempFolderScope(const QString& path) : m_old(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", path.toLocal8Bit());
    }
    ~TempFolderScope() { qputenv("TMPDIR", m_old); }

private:
    QByteArray m_old;
};

}  // namespace

// ---- Configuration data file -----------------------------------------------------------

TEST_F(PageTest, SavedFileLoadsBackIntoEveryControl) {
    Start();
    ConnectAndFetch();
    Spin("xStartPosition")->setText(QStringLiteral("14"));
    Spin("yStartPosition")->setText(QStringLiteral("-23"));
    Spin("rmmMinus")->setText(QStringLiteral("4"));
    Spin("inOutSpeed")->setText(QStringLiteral("170"));
    Combo("uartBaudRate")->setCurrentText(QStringLiteral("4800"));
    Combo("option9")->setCurrentIndex(0);
    Combo("option17")->setCurrentIndex(1);
    Combo("displayLanguage")->setCurrentIndex(1);
    const QStringList saved = ControlSnapshot(*Page());
    const QString path = folder->filePath(QStringLiteral("set.hcf"));
    fileNames = {path};
    Click("saveToFile");
    ASSERT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
    EXPECT_EQ(QFileInfo(path).size(), 224);

    Click("loadDefault");  // changes most controls
    Page()->SetSerialText(QStringLiteral("other"));
    ASSERT_NE(ControlSnapshot(*Page()), saved);
    fileNames = {path};
    Click("loadFromFile");
    EXPECT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
    EXPECT_EQ(ControlSnapshot(*Page()), saved);
    EXPECT_EQ(Spin("yStartPosition")->text(), QStringLiteral("-23"));
    EXPECT_EQ(Find<QLabel>("statusStrip")->text(),
              QStringLiteral("Loaded from : \"set.hcf\".   Loaded F/W version : [V2.1.07 (202]."));
    // Loading never touches the printer's state kept by the page.
    EXPECT_EQ(Page()->DeviceParams()[0], 0);
    EXPECT_EQ(FileDialogSaves(), (std::vector<bool>{true, false}));
}

TEST_F(PageTest, FileOfAnotherKindIsPassedOverSilently) {
    Start();
    const QString path = folder->filePath(QStringLiteral("other.hcf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("ABCD").append(220, '\x01'));
    file.close();
    const QStringList before = ControlSnapshot(*Page());
    fileNames = {path};
    Click("loadFromFile");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ControlSnapshot(*Page()), before);
    EXPECT_EQ(Find<QLabel>("statusStrip")->text(), QString());
}

// A pipe named like a data file never holds the window: picked in the open dialog it is passed
// over like any file that is not one of ours, picked in the save dialog it is only replaced
// after the overwrite question. A watchdog opens the pipe's other end should a command still
// wait after a generous bound, and the test fails.
TEST_F(PageTest, APipeNamedLikeADataFileNeverHoldsTheWindow) {
    Start();
    const QByteArray pipe = QFile::encodeName(folder->filePath(QStringLiteral("pipe.hcf")));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false;
    bool released = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        auto bound = std::chrono::seconds(10);
        while (!cv.wait_for(lock, bound, [&] { return finished; })) {
            released = true;
            const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            bound = std::chrono::seconds(1);
        }
    });
    const QStringList before = ControlSnapshot(*Page());
    fileNames = {QFile::decodeName(pipe)};
    Click("loadFromFile");
    answers = {mb::kIdNo};
    fileNames = {QFile::decodeName(pipe)};
    Click("saveToFile");
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    cv.notify_one();
    watchdog.join();
    EXPECT_FALSE(released) << "a command waited on the pipe";
    EXPECT_EQ(MessageTexts(), L({"Same file is already exist.\n\nOverwrite?"}));
    EXPECT_EQ(ControlSnapshot(*Page()), before);
    struct stat st {};
    ASSERT_EQ(::lstat(pipe.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(PageTest, ShortFileReportsCorruptionWithErrorNumber) {
    Start();
    const QString path = folder->filePath(QStringLiteral("short.hcf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("HCV1").append(16, '\0'));
    file.close();
    fileNames = {path};
    Click("loadFromFile");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(
        messages[0].text.startsWith(QStringLiteral("File is Coruppted !!!\n\nError No. : ")))
        << messages[0].text.toStdString();
    EXPECT_EQ(messages[0].style, mb::kOk);
}

TEST_F(PageTest, AnsweringNoToOverwriteKeepsTheOldFile) {
    Start();
    const QString path = folder->filePath(QStringLiteral("keep.hcf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old contents");
    file.close();
    answers = {mb::kIdNo};
    fileNames = {path};
    Click("saveToFile");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Same file is already exist.\n\nOverwrite?"));
    EXPECT_EQ(messages[0].style, mb::kYesNo | mb::kIconWarning);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old contents"));
}

TEST_F(PageTest, SaveIntoMissingFolderShowsCreationFailure) {
    Start();
    fileNames = {folder->filePath(QStringLiteral("missing/x.hcf"))};
    Click("saveToFile");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("File Creation Failed !!!\n\nError No. : 2"));
}

// ---- Test print --------------------------------------------------------------------------

class PrintTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        spool = std::make_unique<QTemporaryDir>();
        qputenv("VELASIM_SPOOL_DIR", spool->path().toLocal8Bit());
        temp = std::make_unique<QTemporaryDir>();
        scope = std::make_unique<TempFolderScope>(temp->path());
    }
    void TearDown() override {
        scope.reset();
        qunsetenv("VELASIM_SPOOL_DIR");
        PageTest::TearDown();
    }
    bool TempFolderEmpty() const {
        return QDir(temp->path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
            .isEmpty();
    }
    QString OpenedPath() const {
        const auto opens = sim->Calls(QStringLiteral("Vela_OpenDocument"));
        return opens.isEmpty() ? QString()
                               : opens[0].value(QStringLiteral("args")).toArray()[1].toString();
    }
    int Counter(const char* record, int position, const char* device = nullptr) const {
        return sim->Device(device).value(QLatin1String(record)).toArray()[position].toInt();
    }
    std::unique_ptr<QTemporaryDir> spool, temp;
    std::unique_ptr<TempFolderScope> scope;
};

TEST_F(PrintTest, YmckoRibbonPrintsTheColourSampleAndCountsTheCard) {
    Start();
    Connect();
    Click("print");
    EXPECT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
    EXPECT_TRUE(OpenedPath().endsWith(QStringLiteral("/KestraSampleDocument.vdn")));
    EXPECT_TRUE(OpenedPath().startsWith(temp->path()));
    EXPECT_EQ(sim->CountCalls(QStringLiteral("VelaDCL_Print")), 1);
    EXPECT_EQ(Counter("userCounts", 0), 121);
    EXPECT_EQ(Counter("userCounts", 6), 485);  // five panels
    EXPECT_EQ(Counter("factoryCounts", 0), 1521);
    EXPECT_EQ(QDir(spool->path()).entryList({QStringLiteral("*.png")}).size(), 1);
    EXPECT_TRUE(TempFolderEmpty());
    // The next Get Config shows the printed card.
    Page()->GetConfig();
    EXPECT_EQ(Edit("userImage")->text(), QStringLiteral("121"));
}

TEST_F(PrintTest, RewritableRibbonPrintsTheRewritableSample) {
    Start();
    Connect(QStringLiteral("[USB2] Halvard Card Printer"));
    Click("print");
    EXPECT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
    EXPECT_EQ(Counter("userCounts", 6, "[USB2] Halvard Card Printer"),
              481);  // one black panel: the rewritable sample
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(PrintTest, OtherRibbonWarnsAndPrintsNothing) {
    const QByteArray scenario = OneDevice(QStringLiteral(R"("ribbon": 3)"));
    Start(kPlainIni, scenario.constData());
    Connect();
    Click("print");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              QStringLiteral("You should install YMCKO or Rewritable ribbon for printing."));
    EXPECT_EQ(messages[0].style, mb::kIconWarning);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_OpenDocument")), 0);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("VelaDCL_Print")), 0);
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(PrintTest, PrinterFailureShowsItsCodeAndRemovesTheFile) {
    Start();
    Connect();
    sim->VelaSim_InjectFault("VelaDCL_Print", 0, 1, static_cast<VelaResult>(0x80000320));
    Click("print");
    EXPECT_EQ(MessageTexts(), L({"Found error : 0x80000320"}));
    EXPECT_EQ(messages[0].style, mb::kIconWarning);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_CloseDocument")), 1);
    EXPECT_TRUE(TempFolderEmpty());
    sim->VelaSim_InjectFault("Vela_OpenDocument", 0, 1, static_cast<VelaResult>(0x80000311));
    messages.clear();
    Click("print");
    EXPECT_EQ(MessageTexts(), L({"Found error : 0x80000311"}));
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(PrintTest, SimulatorRefusesAFileThatIsNoCardDocument) {
    Start();
    Connect();
    const QString path = temp->filePath(QStringLiteral("plain.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"format\": \"something else\"}");
    file.close();
    const std::u16string text = path.toStdU16String();
    const VelaString vpath(text.begin(), text.end());
    EXPECT_EQ(window->Binding().Device(window->Binding().Vela_OpenDocument, vpath.c_str()),
              static_cast<VelaResult>(0x80000311));
}

// ---- Card preview ------------------------------------------------------------------------

TEST_F(PageTest, XStartMovesPictureAndClipButNotTheCardOutline) {
    Start();
    window->show();
    CCardPreview* preview = Page()->Preview();
    ASSERT_TRUE(preview->HasPicture());
    Spin("xStartPosition")->setValue(0);
    const auto before = preview->Rects();
    const QImage shotBefore = preview->grab().toImage();
    Spin("xStartPosition")->setValue(10);
    const auto after = preview->Rects();
    const QImage shotAfter = preview->grab().toImage();
    EXPECT_EQ(after.picture.left, before.picture.left + 10);
    EXPECT_EQ(after.picture.right, before.picture.right + 10);
    // The clip stays inside the card, so only its left edge moves right.
    EXPECT_EQ(after.clip.left, before.clip.left + 10);
    const auto card = preview->Card();
    // The card outline is black in both pictures, at the same place.
    for (const QImage* shot : {&shotBefore, &shotAfter}) {
        const QImage img = shot->scaled(preview->size());
        EXPECT_EQ(img.pixelColor(card.left, card.top + card.height() / 2), QColor(Qt::black));
        EXPECT_EQ(img.pixelColor(card.right - 1, card.top + card.height() / 2), QColor(Qt::black));
    }
    // The dotted clip outline now sits 10 pixels right of the card's left edge.
    const QImage img = shotAfter.scaled(preview->size());
    bool dotted = false;
    for (int y = after.clip.top; y < after.clip.bottom && !dotted; ++y)
        dotted = img.pixelColor(after.clip.left, y) == QColor(160, 128, 80);
    EXPECT_TRUE(dotted);
}

TEST_F(PageTest, VeryNegativeYScaleCollapsesThePictureToOnePixel) {
    Start();
    window->show();
    CCardPreview* preview = Page()->Preview();
    Spin("yScale")->setValue(-5000);
    EXPECT_EQ(preview->Rects().picture.height(), 1);
    preview->grab();  // paints: resamples to the new size
    EXPECT_EQ(preview->ResampledSize().height(), 1);
    EXPECT_EQ(preview->ResampledSize().width(), preview->Card().width());
}

// The picture is resampled when its size or the part that shows changes, never for a repaint
// of what is already there (the window moved or was uncovered), nor for an operation that
// leaves the four values as they were.
TEST_F(PageTest, ThePreviewResamplesOnlyWhenWhatShowsChanges) {
    Start();
    window->show();
    CCardPreview* preview = Page()->Preview();
    const QImage first = preview->grab().toImage();
    const int made = preview->ResampleCount();
    ASSERT_GE(made, 1);
    for (int i = 0; i < 3; ++i)
        preview->repaint();
    preview->Rescale();
    Page()->LoadDefault(QStringLiteral("PARAMETER"), false);  // the values shown already
    const QImage again = preview->grab().toImage();
    EXPECT_EQ(preview->ResampleCount(), made);
    EXPECT_EQ(again, first);

    const struct {
        const char* field;
        int value;
    } changes[] = {{"yScale", 40}, {"xStartPosition", 6}, {"yStartPosition", 50}};
    QImage before = again;
    int count = made;
    for (const auto& c : changes) {
        SCOPED_TRACE(c.field);
        Spin(c.field)->setValue(c.value);
        const QImage after = preview->grab().toImage();
        EXPECT_EQ(preview->ResampleCount(), ++count);
        EXPECT_NE(after, before);
        preview->repaint();
        EXPECT_EQ(preview->ResampleCount(), count);
        before = after;
    }
}
