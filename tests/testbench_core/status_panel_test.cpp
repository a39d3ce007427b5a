#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <thread>

#include "status_decoding.h"

namespace {

const QRgb kBackground = qRgb(0xF0, 0xF0, 0xF0);
const QSize kClient(300, 900);  // group box client size; the drawing area is 292x880

int FontHeight(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return QFontMetrics(font).height();
}

// Line heights of the title, heading and body fonts.
struct Heights {
    int title = FontHeight(15, true);
    int heading = FontHeight(13, true);
    int body = FontHeight(13, false);
};

constexpr std::uint64_t Bit(int n) {
    return std::uint64_t{1} << n;
}

struct Band {
    int top;
    int bottom;  // exclusive
};

// Top of the first status line of the first module, given how many state lines it has.
Band FirstStatusLine(int stateLines) {
    const Heights h;
    int y = h.title;           // title
    y += h.title / 2;          // gap before the state heading
    y += h.heading;            // state heading
    y += stateLines * h.body;  // state lines
    const int last = stateLines > 0 ? h.body : h.heading;
    y += last / 2;   // gap before the status heading
    y += h.heading;  // status heading
    return {y, y + h.body};
}

bool IsBackground(QRgb p) {
    return (p & 0xFFFFFF) == (kBackground & 0xFFFFFF);
}

// True where a pixel leans clearly towards `colour` away from the background: text is smoothed,
// so glyph edges mix the two, but stems reach close to the pen colour.
bool NearColour(QRgb p, QColor colour, int tolerance = 0x28) {
    return std::abs(qRed(p) - colour.red()) <= tolerance &&
           std::abs(qGreen(p) - colour.green()) <= tolerance &&
           std::abs(qBlue(p) - colour.blue()) <= tolerance;
}

int CountPixels(const QImage& img, QRect r, const std::function<bool(QRgb)>& pred) {
    r = r.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pred(img.pixel(x, y)) ? 1 : 0;
    return n;
}

bool Blank(const QImage& img, QRect r) {
    return CountPixels(img, r, [](QRgb p) { return !IsBackground(p); }) == 0;
}

// Rows [top, bottom) of an image.
QRect Rows(const QImage& img, int top, int bottom) {
    return QRect(0, top, img.width(), bottom - top);
}

struct Panel {
    ModuleSlot modules[kModuleSlotCount] = {};
    QImage Render(QSize client = kClient) const { return RenderStatusPanel(modules, client); }
};

TEST(StatusPanelArea, InsetsOfTheGroupBox) {
    EXPECT_EQ(StatusPanelArea(QRect(0, 0, 300, 900)), QRect(4, 16, 292, 880));
    EXPECT_EQ(StatusPanelArea(QRect(10, 20, 100, 50)), QRect(14, 36, 92, 30));
    EXPECT_TRUE(StatusPanelArea(QRect(0, 0, 8, 20)).isEmpty());
    EXPECT_TRUE(StatusPanelArea(QRect(0, 0, 5, 5)).isEmpty());
}

TEST(StatusPanel, ImageHasTheAreaSizeAndBackground) {
    const Panel empty;
    const QImage img = empty.Render();
    ASSERT_EQ(img.size(), QSize(292, 880));
    EXPECT_TRUE(Blank(img, img.rect()));
    EXPECT_TRUE(empty.Render(QSize(6, 10)).isNull());
}

TEST(StatusPanel, SkippedIdsDrawNothing) {
    Panel p;
    p.modules[0] = {0xFF, 0x3F, ~0ULL};
    p.modules[1] = {0x00, 0x3F, ~0ULL};
    EXPECT_TRUE(Blank(p.Render(), p.Render().rect()));

    // A skipped slot leaves no gap: the following modules draw as if it were not there.
    Panel withGap;
    withGap.modules[0] = {0x40, 0x02, Bit(30)};
    withGap.modules[1] = {0xFF, 0x3F, ~0ULL};
    withGap.modules[2] = {0x70, 0x01, Bit(16)};
    Panel packed;
    packed.modules[0] = withGap.modules[0];
    packed.modules[1] = withGap.modules[2];
    EXPECT_EQ(withGap.Render(), packed.Render());
}

TEST(StatusPanel, ActivityLineIsBlueVioletInItsBand) {
    Panel p;
    p.modules[0] = {0x20, 0x00, Bit(0)};  // multi-input hopper "initializing"
    const QImage img = p.Render();
    const Band band = FirstStatusLine(0);
    const QColor violet(0x40, 0x20, 0xC0);
    const auto isViolet = [&](QRgb px) { return NearColour(px, violet); };

    EXPECT_GT(CountPixels(img, Rows(img, band.top, band.bottom), isViolet), 0);
    EXPECT_EQ(CountPixels(img, Rows(img, 0, band.top), isViolet), 0);
    EXPECT_EQ(CountPixels(img, Rows(img, band.bottom, img.height()), isViolet), 0);
    // Status lines are indented 16 pixels; the title starts at the left edge.
    EXPECT_TRUE(Blank(img, QRect(0, band.top, 16, band.bottom - band.top)));
    const Heights h;
    EXPECT_FALSE(Blank(img, QRect(0, 0, 4, h.title)));
    // Nothing after the last line.
    EXPECT_TRUE(Blank(img, Rows(img, band.bottom, img.height())));
}

TEST(StatusPanel, StateLinesUseSeverityColours) {
    Panel p;
    p.modules[0] = {0x40, 0x01, 0};  // "Action : FAIL": orange-red
    const QImage img = p.Render();
    const Heights h;
    const int top = h.title + h.title / 2 + h.heading;
    const QColor orange(0xC0, 0x40, 0x20);
    const auto isOrange = [&](QRgb px) { return NearColour(px, orange); };
    EXPECT_GT(CountPixels(img, Rows(img, top, top + h.body), isOrange), 0);
    EXPECT_EQ(CountPixels(img, Rows(img, top + h.body, img.height()), isOrange), 0);
    // State lines are indented 16, their heading 8.
    EXPECT_TRUE(Blank(img, QRect(0, top, 16, h.body)));
    EXPECT_TRUE(Blank(img, QRect(0, h.title + h.title / 2, 8, h.heading)));
}

TEST(StatusPanel, ManualModeLineIsBlack) {
    Panel p;
    p.modules[0] = {0x40, 0x00, Bit(30)};
    const QImage img = p.Render();
    const Band band = FirstStatusLine(0);
    EXPECT_GT(CountPixels(img, Rows(img, band.top, band.bottom),
                          [](QRgb px) { return NearColour(px, Qt::black, 0x30); }),
              0);
    // Black text on grey: every pixel is a grey, never coloured.
    EXPECT_EQ(CountPixels(img, img.rect(),
                          [](QRgb px) {
                              return std::abs(qRed(px) - qBlue(px)) > 2 ||
                                     std::abs(qRed(px) - qGreen(px)) > 2;
                          }),
              0);
    EXPECT_TRUE(Blank(img, Rows(img, band.bottom, img.height())));
}

TEST(StatusPanel, StateC0ShowsOnlyTheHeading) {
    Panel c0;
    c0.modules[0] = {0x40, 0xC0, Bit(11)};
    Panel zero;
    zero.modules[0] = {0x40, 0x00, Bit(11)};
    const QImage a = c0.Render();
    const QImage b = zero.Render();
    const Heights h;
    const int headingTop = h.title + h.title / 2;
    const int headingBottom = headingTop + h.heading;
    // Only the heading's digits differ; every later line sits where it would without state.
    EXPECT_EQ(a.copy(Rows(a, 0, headingTop)), b.copy(Rows(b, 0, headingTop)));
    EXPECT_NE(a.copy(Rows(a, headingTop, headingBottom)),
              b.copy(Rows(b, headingTop, headingBottom)));
    EXPECT_EQ(a.copy(Rows(a, headingBottom, a.height())),
              b.copy(Rows(b, headingBottom, b.height())));
}

TEST(StatusPanel, TypesWithoutTableShowHeadingsOnly) {
    for (std::uint8_t id : {0x30, 0x80}) {
        Panel p;
        p.modules[0] = {id, 0x00, ~0ULL};
        const QImage img = p.Render();
        const Band band = FirstStatusLine(0);
        EXPECT_FALSE(Blank(img, Rows(img, 0, band.top))) << int(id);  // title and headings
        EXPECT_TRUE(Blank(img, Rows(img, band.top, img.height()))) << int(id);
    }
    // An unassigned type has an empty title but still its headings.
    Panel unassigned;
    unassigned.modules[0] = {0x90, 0x00, ~0ULL};
    const QImage img = unassigned.Render();
    const Heights h;
    EXPECT_TRUE(Blank(img, Rows(img, 0, h.title)));
    EXPECT_FALSE(Blank(img, Rows(img, h.title, FirstStatusLine(0).top)));
}

TEST(StatusPanel, ModulesFollowEachOther) {
    // The second module's title starts 3/2 body lines below the first module's last line.
    Panel p;
    p.modules[0] = {0x20, 0x00, Bit(0)};
    p.modules[1] = {0x20, 0x00, Bit(0)};
    const QImage img = p.Render();
    const Band first = FirstStatusLine(0);
    const Heights h;
    const int second = first.bottom + 3 * h.body / 2;
    const QImage one = img.copy(Rows(img, 0, second));
    const QImage two = img.copy(Rows(img, second, second + second));
    EXPECT_EQ(one, two);
    EXPECT_TRUE(Blank(img, Rows(img, first.bottom, second)));
}

TEST(StatusPanel, LinesBelowTheAreaAreClipped) {
    Panel full;
    for (int i = 0; i < kModuleSlotCount; ++i)
        full.modules[i] = {std::uint8_t(0x40 + i), 0x3F, ~0ULL};
    const QImage tall = full.Render(QSize(300, 4000));
    const QImage shortPanel = full.Render(QSize(300, 220));
    ASSERT_EQ(shortPanel.size(), QSize(292, 200));
    // The short panel is the top of the tall one: clipped, not squeezed or scrolled.
    EXPECT_EQ(shortPanel, tall.copy(0, 0, 292, 200));
    // The last row is still drawn into (text runs through it), so the clip is at the edge.
    EXPECT_FALSE(Blank(tall, Rows(tall, 200, 400)));
}

TEST(StatusPanel, SameImageFromAWorkerThread) {
    Panel p;
    p.modules[0] = {0x10, 0x06, Bit(16) | Bit(33)};
    p.modules[1] = {0x40, 0x12, Bit(1) | Bit(57) | Bit(63)};
    p.modules[2] = {0x62, 0x08, Bit(4) | Bit(48)};
    const QImage here = p.Render();
    QImage there;
    std::thread worker([&] { there = p.Render(); });
    worker.join();
    EXPECT_EQ(here, there);
}

}  // namespace
