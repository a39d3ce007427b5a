#include "card_preview.h"

#include <QFile>

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace pv = halvard::preview;

namespace {

pv::Rgb24Image filled(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    pv::Rgb24Image img;
    img.width = w;
    img.height = h;
    img.pixels.resize(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < img.pixels.size(); i += 3) {
        img.pixels[i] = r;
        img.pixels[i + 1] = g;
        img.pixels[i + 2] = b;
    }
    return img;
}

std::array<int, 3> pixel(const pv::Rgb24Image& img, int x, int y) {
    const std::uint8_t* p = img.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

QByteArray readFile(const char* path) {
    QFile f(QString::fromUtf8(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path;
    return f.readAll();
}

// A bitmap file built by hand: 24 bits, given row stride and padding, rows in file order.
QByteArray bmpFile(int w, int h, int stride, const QByteArray& rows, int bitCount = 24,
                   int compression = 0) {
    QByteArray b(54, '\0');
    auto put32 = [&b](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            b[at + i] = static_cast<char>(v >> (8 * i));
        }
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54 + rows.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = static_cast<char>(bitCount);
    put32(30, static_cast<std::uint32_t>(compression));
    put32(34, static_cast<std::uint32_t>(stride * std::abs(h)));
    return b + rows;
}

}  // namespace

TEST(Resample, UniformPictureStaysUniformAtEveryScale) {
    const pv::Rgb24Image src = filled(636, 1012, 200, 37, 255);
    const std::pair<int, int> sizes[] = {{159, 253},  {150, 236}, {160, 210},   {1, 1},
                                         {636, 1012}, {7, 3},     {1000, 1500}, {641, 1013}};
    for (auto [w, h] : sizes) {
        const pv::Rgb24Image dst = pv::Resample(src, w, h);
        ASSERT_EQ(dst.width, w);
        ASSERT_EQ(dst.height, h);
        ASSERT_EQ(dst.pixels.size(), static_cast<std::size_t>(w) * h * 3);
        for (std::size_t i = 0; i < dst.pixels.size(); i += 3) {
            ASSERT_EQ(dst.pixels[i], 200) << w << "x" << h << " at " << i;
            ASSERT_EQ(dst.pixels[i + 1], 37) << w << "x" << h << " at " << i;
            ASSERT_EQ(dst.pixels[i + 2], 255) << w << "x" << h << " at " << i;
        }
    }
}

TEST(Resample, IntegralReductionIsTheMeanOfEachBlock) {
    std::mt19937 rng(12345);
    pv::Rgb24Image src = filled(636, 1012, 0, 0, 0);
    for (auto& byte : src.pixels) {
        byte = static_cast<std::uint8_t>(rng() & 0xFF);
    }
    const pv::Rgb24Image dst = pv::Resample(src, 159, 253);
    ASSERT_EQ(dst.width, 159);
    ASSERT_EQ(dst.height, 253);
    for (int y = 0; y < 253; ++y) {
        for (int x = 0; x < 159; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = 0; j < 4; ++j) {
                    for (int i = 0; i < 4; ++i) {
                        sum += src.row(4 * y + j)[3 * (4 * x + i) + c];
                    }
                }
                ASSERT_EQ(dst.row(y)[3 * x + c], (sum + 8) / 16)
                    << "pixel " << x << "," << y << " channel " << c;
            }
        }
    }
}

TEST(Resample, PartlyCoveredPixelsCountByTheirCoveredPart) {
    // Three columns into two: each destination column covers 1.5 source columns.
    pv::Rgb24Image src = filled(3, 1, 0, 0, 0);
    const std::uint8_t levels[] = {0, 90, 180};
    for (int x = 0; x < 3; ++x) {
        src.pixels[3 * x] = src.pixels[3 * x + 1] = src.pixels[3 * x + 2] = levels[x];
    }
    const pv::Rgb24Image dst = pv::Resample(src, 2, 1);
    ASSERT_EQ(dst.width, 2);
    EXPECT_EQ(pixel(dst, 0, 0), (std::array<int, 3>{30, 30, 30}));     // (0 + 90 / 2) / 1.5
    EXPECT_EQ(pixel(dst, 1, 0), (std::array<int, 3>{150, 150, 150}));  // (45 + 180) / 1.5

    // Enlarging repeats each pixel over the area it covers.
    const pv::Rgb24Image big = pv::Resample(src, 6, 2);
    EXPECT_EQ(pixel(big, 0, 1), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(pixel(big, 3, 0), (std::array<int, 3>{90, 90, 90}));
    EXPECT_EQ(pixel(big, 5, 1), (std::array<int, 3>{180, 180, 180}));
}

TEST(Resample, NothingForEmptySourceOrUnusableSize) {
    const pv::Rgb24Image src = filled(10, 10, 1, 2, 3);
    EXPECT_TRUE(pv::Resample(pv::Rgb24Image{}, 5, 5).isNull());
    EXPECT_TRUE(pv::Resample(src, 0, 5).isNull());
    EXPECT_TRUE(pv::Resample(src, 5, -1).isNull());
    EXPECT_TRUE(pv::Resample(src, 5, pv::kMaxResampleSide + 1).isNull());
    EXPECT_FALSE(pv::Resample(src, 5, pv::kMaxResampleSide).isNull());
}

// A part of the resample is that part of the whole resample, whatever the source layout: the
// preview makes only what shows and must draw the same pixels.
TEST(Resample, APartIsThatPartOfTheWholeResample) {
    const QByteArray file = readFile(HALVARD_CARD_BMP);
    const pv::Rgb24View view = pv::bmpView(file);
    ASSERT_FALSE(view.isNull());
    const pv::Rgb24Image decoded = pv::decodeBmp(file);
    const struct {
        int wd, hd;
        QRect part;
    } cases[] = {
        {120, 192, QRect(0, 0, 120, 192)},      // the whole picture
        {120, 1192, QRect(0, 35, 120, 157)},    // Y Scale 1000: a band of a tall picture
        {120, 1, QRect(0, 0, 120, 1)},          // collapsed to one row
        {159, 253, QRect(17, 40, 61, 33)},      // an integral reduction, an inner part
        {700, 1100, QRect(690, 1090, 10, 10)},  // enlarged, the bottom-right corner
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.wd << "x" << c.hd);
        const pv::Rgb24Image whole = pv::Resample(decoded, c.wd, c.hd);
        const QImage part = pv::ResamplePart(view, c.wd, c.hd, c.part);
        ASSERT_EQ(part.size(), c.part.size());
        EXPECT_EQ(part.format(), QImage::Format_RGB32);
        for (int y = 0; y < c.part.height(); ++y)
            for (int x = 0; x < c.part.width(); ++x) {
                const auto [r, g, b] = pixel(whole, c.part.left() + x, c.part.top() + y);
                ASSERT_EQ(part.pixel(x, y), qRgb(r, g, b)) << x << "," << y;
            }
    }
    // A top-down file and the decoded copy give the same picture as the bottom-up file.
    const QImage fromCopy = pv::ResamplePart(pv::viewOf(decoded), 120, 192, QRect(0, 0, 120, 192));
    EXPECT_EQ(fromCopy, pv::ResamplePart(view, 120, 192, QRect(0, 0, 120, 192)));
}

TEST(Resample, NoPartOutsideTheDestinationOrBeyondTheLimits) {
    const pv::Rgb24Image src = filled(10, 10, 1, 2, 3);
    const pv::Rgb24View view = pv::viewOf(src);
    EXPECT_TRUE(pv::ResamplePart(pv::Rgb24View{}, 5, 5, QRect(0, 0, 5, 5)).isNull());
    EXPECT_TRUE(pv::ResamplePart(view, 5, 5, QRect()).isNull());
    EXPECT_TRUE(pv::ResamplePart(view, 5, 5, QRect(1, 1, 5, 5)).isNull());
    EXPECT_TRUE(pv::ResamplePart(view, 5, 5, QRect(-1, 0, 2, 2)).isNull());
    EXPECT_TRUE(pv::ResamplePart(view, 0, 5, QRect(0, 0, 1, 1)).isNull());
    EXPECT_TRUE(pv::ResamplePart(view, 5, pv::kMaxResampleExtent + 1, QRect(0, 0, 5, 5)).isNull());
    // A part of a picture a million rows high is made from the rows under it alone.
    const QImage band = pv::ResamplePart(view, 5, 1000192, QRect(0, 500000, 5, 192));
    ASSERT_EQ(band.size(), QSize(5, 192));
    EXPECT_EQ(band.pixel(4, 191), qRgb(1, 2, 3));
}

TEST(PreviewGeometry, PictureAndClipFollowTheShownValues) {
    const pv::Box frame{0, 0, 300, 400};
    const pv::Box card{40, 30, 240, 350};

    const pv::PreviewRects plain = pv::previewRects(frame, card, 0, 0, 0, 0);
    EXPECT_EQ(plain.picture, card);
    EXPECT_EQ(plain.clip, card);

    // X Start Position 10: picture and clip move 10 right; the card stays, so the clip ends
    // at the card's right edge.
    const pv::PreviewRects x10 = pv::previewRects(frame, card, 10, 0, 0, 0);
    EXPECT_EQ(x10.picture, (pv::Box{50, 30, 250, 350}));
    EXPECT_EQ(x10.clip, (pv::Box{50, 30, 240, 350}));

    // Y Start moves down, Y Scale stretches the picture, Y End moves the clip's bottom.
    const pv::PreviewRects y = pv::previewRects(frame, card, 0, 15, -40, 25);
    EXPECT_EQ(y.picture, (pv::Box{40, 45, 240, 390}));
    EXPECT_EQ(y.clip, (pv::Box{40, 45, 240, 325}));
    EXPECT_EQ(y.pictureOutline, (pv::Box{40, 45, 240, 390}));

    // Y Scale -5000 collapses the picture to one pixel.
    const pv::PreviewRects collapsed = pv::previewRects(frame, card, 0, 0, 0, -5000);
    EXPECT_EQ(collapsed.picture, (pv::Box{40, 30, 240, 31}));
    EXPECT_EQ(collapsed.picture.height(), 1);

    // A clip moved off the card is empty.
    EXPECT_TRUE(pv::previewRects(frame, card, 500, 0, 0, 0).clip.isEmpty());

    // Extreme values stay in range.
    const pv::PreviewRects extreme =
        pv::previewRects(frame, card, INT_MAX, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(extreme.picture.left, card.left + pv::kMaxShownOffset);
    EXPECT_EQ(extreme.picture.top, card.top - pv::kMaxShownOffset);
    EXPECT_GT(extreme.picture.height(), 0);
}

TEST(PreviewGeometry, AxisMarksSitBetweenFrameAndCard) {
    const pv::Box frame{10, 20, 310, 420};
    const pv::Box card{50, 60, 230, 380};
    const pv::AxisMarks m = pv::axisMarks(frame, card, 100);
    EXPECT_EQ(m.origin, QPoint(30, 40));
    EXPECT_EQ(m.xLine, QLine(30, 40, 50, 40));
    EXPECT_EQ(m.xHead2, QLine(50, 40, 46, 44));
    EXPECT_EQ(m.xText, QPoint(56, 34));
    EXPECT_EQ(m.yLine, QLine(30, 40, 30, 60));
    EXPECT_EQ(m.yHead1, QLine(30, 60, 26, 56));
    EXPECT_EQ(m.yText, QPoint(38, 64));
    // 3/8 of the 80-pixel gap right of the card.
    EXPECT_EQ(m.printLine, QLine(260, 60, 260, 380));
    EXPECT_EQ(m.printHead1, QLine(260, 380, 256, 376));
    EXPECT_EQ(m.printText, QPoint(274, 60 + (320 - 100) / 2));
}

TEST(CardPicture, BuiltInPictureDecodes) {
    const pv::Rgb24Image card = pv::decodeBmp(readFile(HALVARD_CARD_BMP));
    ASSERT_EQ(card.width, 636);
    ASSERT_EQ(card.height, 1012);
    // Rows come out top first and channels as red, green, blue: grey border, blue header band
    // at the top, orange footer at the bottom.
    EXPECT_EQ(pixel(card, 0, 0), (std::array<int, 3>{120, 128, 140}));
    EXPECT_EQ(pixel(card, 20, 30), (std::array<int, 3>{26, 70, 148}));
    EXPECT_EQ(pixel(card, 20, 990), (std::array<int, 3>{228, 122, 42}));

    const QImage q = pv::toQImage(card);
    ASSERT_EQ(q.size(), QSize(636, 1012));
    EXPECT_EQ(q.pixelColor(20, 30), QColor(26, 70, 148));
    EXPECT_EQ(pv::fromQImage(q).pixels, card.pixels);
}

TEST(CardPicture, PaddedAndTopDownRowsDecode) {
    // 2 x 2, stride 8 (6 bytes of pixels, 2 of padding), blue-green-red in the file.
    const QByteArray rows = QByteArray::fromHex(
        "0000ff00ff00eeee"    // bottom: red, green
        "ff0000ffffffeeee");  // top: blue, white
    const pv::Rgb24Image up = pv::decodeBmp(bmpFile(2, 2, 8, rows));
    ASSERT_EQ(up.width, 2);
    EXPECT_EQ(pixel(up, 0, 0), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(pixel(up, 1, 0), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(pixel(up, 0, 1), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(pixel(up, 1, 1), (std::array<int, 3>{0, 255, 0}));

    const pv::Rgb24Image down = pv::decodeBmp(bmpFile(2, -2, 8, rows));
    ASSERT_EQ(down.height, 2);
    EXPECT_EQ(pixel(down, 0, 0), (std::array<int, 3>{255, 0, 0}));
}

TEST(CardPicture, GarbageGivesAnEmptyPicture) {
    EXPECT_TRUE(pv::decodeBmp({}).isNull());
    EXPECT_TRUE(pv::toQImage(pv::decodeBmp({})).isNull());
    std::mt19937 rng(7);
    QByteArray noise(4096, '\0');
    for (char& c : noise) {
        c = static_cast<char>(rng());
    }
    noise[0] = 'B';
    noise[1] = 'M';
    EXPECT_TRUE(pv::decodeBmp(noise).isNull());

    const QByteArray rows(8 * 2, '\x7f');
    EXPECT_FALSE(pv::decodeBmp(bmpFile(2, 2, 8, rows)).isNull());
    EXPECT_TRUE(pv::decodeBmp(bmpFile(2, 2, 8, rows.left(13))).isNull());  // cut short
    EXPECT_TRUE(pv::decodeBmp(bmpFile(2, 2, 8, rows, 32)).isNull());
    EXPECT_TRUE(pv::decodeBmp(bmpFile(2, 2, 8, rows, 24, 1)).isNull());
    EXPECT_TRUE(pv::decodeBmp(bmpFile(0, 2, 8, rows)).isNull());
    EXPECT_TRUE(pv::decodeBmp(bmpFile(2, 0, 8, rows)).isNull());
    EXPECT_TRUE(pv::decodeBmp(bmpFile(4, 2, 8, rows)).isNull());  // stride below a row

    // The real picture cut in half.
    EXPECT_TRUE(pv::decodeBmp(readFile(HALVARD_CARD_BMP).left(1000000)).isNull());
}
