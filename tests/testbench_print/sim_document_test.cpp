// The simulator's card documents: what the format accepts and refuses, what a rendered page
// shows, and that the preview bitmap the simulator packs is the one the Print
// page's check accepts and decodes to the same picture.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "print_logic.h"
#include "qt_gtest_print.h"
#include "sim_document.h"

namespace {

using sim::CardDocument;

QByteArray Document(const QByteArray& pages) {
    return QByteArray(R"({"format": "vela-card-document", "version": 1, "ribbon": "YMCKO",
        "pages": )") +
           pages + "}";
}

// Dark pixels (text) inside a rectangle of a rendered card.
int DarkPixels(const QImage& card, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(card.pixel(x, y)) < 96 ? 1 : 0;
    return n;
}

TEST(CardDocumentFormat, RefusesWhatTheFormatDoesNotAllow) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"not JSON", "{\"format\": "},
        {"another format", R"({"format": "something", "version": 1, "pages": []})"},
        {"version 2", R"({"format": "vela-card-document", "version": 2, "pages": []})"},
        {"pages not a list", Document(R"({"side": "front"})")},
        {"five pages", Document(R"([{"side": "front"}, {"side": "back"}, {"card": 2, "side":
            "front"}, {"card": 2, "side": "back"}, {"side": "front"}])")},
        {"the same side twice", Document(R"([{"side": "front"}, {"card": 1, "side": "front"}])")},
        {"card 3", Document(R"([{"card": 3, "side": "front"}])")},
        {"side left", Document(R"([{"side": "left"}])")},
        {"unknown object", Document(R"([{"side": "front", "objects": [{"type": "circle"}]}])")},
        {"negative width",
         Document(R"([{"side": "front", "objects": [{"type": "rect", "w": -5, "h": 4}]}])")},
        {"far outside",
         Document(R"([{"side": "front", "objects": [{"type": "rect", "x": 1e9}]}])")},
        {"fraction", Document(R"([{"side": "front", "objects": [{"type": "rect", "x": 1.5}]}])")},
        {"bad colour", Document(R"([{"side": "front", "objects": [{"type": "rect",
            "color": "#12"}]}])")},
        {"text size 0",
         Document(R"([{"side": "front", "objects": [{"type": "text", "size": 0}]}])")},
        {"text too long", Document(QByteArray(R"([{"side": "front", "objects": [{"type": "text",
            "text": ")") + QByteArray(1001, 'x') +
                                   QByteArray(R"("}]}])"))},
        {"image without a file",
         Document(R"([{"side": "front", "objects": [{"type": "image"}]}])")},
        {"object not an object", Document(R"([{"side": "front", "objects": [7]}])")},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(sim::ParseCardDocument(c.bytes).has_value()) << c.what;

    const std::optional<CardDocument> two = sim::ParseCardDocument(
        Document(R"([{"card": 2, "side": "back"}, {"side": "front", "objects": []}])"));
    ASSERT_TRUE(two.has_value());
    EXPECT_EQ(two->PageCount(), 2);
    EXPECT_TRUE(two->HasPage(0));
    EXPECT_FALSE(two->HasPage(1));
    EXPECT_TRUE(two->HasPage(3));
}

TEST(CardDocumentFormat, PicturesAreReadBesideTheDocumentOrRefused) {
    QTemporaryDir dir;
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(QColor(0, 200, 0));
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("green.png"))));
    const QString path = dir.filePath(QStringLiteral("card.vdn"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Document(R"([{"side": "front", "objects": [
        {"type": "image", "x": 100, "y": 100, "w": 200, "h": 100, "file": "green.png"}]}])"));
    file.close();
    const std::optional<CardDocument> document = sim::ReadCardDocument(path);
    ASSERT_TRUE(document.has_value());
    const QImage card = sim::RenderPage(*document, 0);
    EXPECT_EQ(card.pixelColor(200, 150), QColor(0, 200, 0));
    EXPECT_EQ(card.pixelColor(50, 50), QColor(Qt::white));

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("green.png"))));
    EXPECT_FALSE(sim::ReadCardDocument(path).has_value()) << "a missing picture refuses it";
    QFile junk(dir.filePath(QStringLiteral("green.png")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("\x89PNG but nothing more");
    junk.close();
    EXPECT_FALSE(sim::ReadCardDocument(path).has_value()) << "so does an unreadable one";
}

TEST(CardDocumentRendering, DrawsRectanglesAndTextAndThresholds) {
    const std::optional<CardDocument> document = sim::ParseCardDocument(Document(R"([
        {"side": "front", "objects": [
          {"type": "rect", "x": 0, "y": 0, "w": 100, "h": 50, "color": "#FF8000"},
          {"type": "text", "x": 300, "y": 300, "size": 14, "text": "Halvard"}]}])"));
    ASSERT_TRUE(document.has_value());
    const QImage card = sim::RenderPage(*document, 0);
    ASSERT_EQ(card.size(), QSize(sim::kCardWidth, sim::kCardHeight));
    EXPECT_EQ(card.pixelColor(50, 25), QColor(255, 128, 0));
    EXPECT_EQ(card.pixelColor(150, 25), QColor(Qt::white));
    // 14 points at 300 dpi are 58 dots high: the text lies right of and below (300, 300).
    EXPECT_GT(DarkPixels(card, QRect(300, 300, 300, 70)), 200);
    EXPECT_EQ(DarkPixels(card, QRect(0, 300, 290, 100)), 0);
    EXPECT_EQ(DarkPixels(card, QRect(300, 380, 400, 100)), 0);

    sim::RenderOptions black;
    black.monochrome = true;
    EXPECT_EQ(sim::RenderPage(*document, 0, black).pixelColor(50, 25), QColor(Qt::white))
        << "orange is light: the black panel leaves it out";
    EXPECT_EQ(sim::RenderPage(*document, 1).pixelColor(50, 25), QColor(Qt::white))
        << "a page the document lacks is blank";
}

TEST(CardDocumentRendering, PreviewBitmapIsWhatThePageAccepts) {
    const std::optional<CardDocument> document = sim::ParseCardDocument(Document(R"([
        {"card": 2, "side": "back", "objects": [
          {"type": "rect", "x": 10, "y": 600, "w": 30, "h": 20, "color": "#0000FF"}]}])"));
    ASSERT_TRUE(document.has_value());
    const QImage card = sim::RenderPage(*document, 3);
    const QByteArray dib = sim::PackDib(card);
    const QByteArray copy = print::CopyPreviewBitmap(
        {reinterpret_cast<const std::uint8_t*>(dib.constData()), static_cast<int>(dib.size())});
    ASSERT_EQ(copy, dib);
    const QImage shown = print::PreviewImage(copy);
    EXPECT_EQ(shown.size(), card.size());
    EXPECT_EQ(shown.pixelColor(20, 610), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(20, 590), QColor(Qt::white));
}

}  // namespace
