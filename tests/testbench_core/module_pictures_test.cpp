#include <gtest/gtest.h>

#include <set>

#include "module_pictures.h"

namespace {

TEST(ModulePictures, SizesPerType) {
    const std::pair<int, QSize> sizes[] = {
        {1, {42, 133}}, {2, {42, 133}}, {3, {88, 133}}, {4, {89, 133}},
        {5, {88, 133}}, {6, {40, 133}}, {7, {36, 133}},
    };
    for (const auto& [type, size] : sizes) {
        const QImage img = ModulePicture(type);
        EXPECT_EQ(img.size(), size) << type;
        EXPECT_EQ(ModulePictureSize(type), size) << type;
    }
}

TEST(ModulePictures, TypesWithoutPicture) {
    for (int type : {-1, 0, 8, 9, 10, 11, 12, 13, 14, 15, 16}) {
        EXPECT_TRUE(ModulePicture(type).isNull()) << type;
        EXPECT_EQ(ModulePictureSize(type), QSize(0, 0)) << type;
    }
}

TEST(ModulePictures, EveryTypeLooksDifferent) {
    for (int type = 1; type <= 7; ++type) {
        const QImage img = ModulePicture(type);
        // Something is drawn: more than one colour.
        std::set<QRgb> colours;
        for (int y = 0; y < img.height(); y += 3)
            for (int x = 0; x < img.width(); ++x)
                colours.insert(img.pixel(x, y));
        EXPECT_GT(colours.size(), 3u) << type;
    }
    // Pictures of the same size must still differ.
    EXPECT_NE(ModulePicture(1), ModulePicture(2));
    EXPECT_NE(ModulePicture(3), ModulePicture(5));
    // Drawn anew each time, identically.
    EXPECT_EQ(ModulePicture(4), ModulePicture(4));
}

}  // namespace
