#include "image/image_type.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageTypeOf, ExtensionsInAnyCase) {
    EXPECT_EQ(ImageTypeOf("current.bmp"), kImageBitmap);
    EXPECT_EQ(ImageTypeOf("tray.Ico"), kImageIcon);
    EXPECT_EQ(ImageTypeOf("map.jpg"), kImageJpeg);
    EXPECT_EQ(ImageTypeOf("map.JPEG"), kImageJpeg);
    EXPECT_EQ(ImageTypeOf("anim.gif"), kImageGif);
    EXPECT_EQ(ImageTypeOf("C:\\Program Files\\Orbiscape\\07-2560.JPG"), kImageJpeg);
}

TEST(ImageTypeOf, UnknownOrMissingExtensionIsUnsupported) {
    EXPECT_EQ(ImageTypeOf("picture.png"), kImageUnsupported);
    EXPECT_EQ(ImageTypeOf("jpg"), kImageUnsupported);
    EXPECT_EQ(ImageTypeOf("map.jp"), kImageUnsupported);
    EXPECT_EQ(ImageTypeOf(""), kImageUnsupported);
}

TEST(ImageTypeOf, ExtensionAtTheFirstCharacterDoesNotCount) {
    EXPECT_EQ(ImageTypeOf(".jpg"), kImageUnsupported);
    EXPECT_EQ(ImageTypeOf(".bmp"), kImageUnsupported);
    // A later occurrence still counts.
    EXPECT_EQ(ImageTypeOf(".bmp.bmp"), kImageBitmap);
}

TEST(ImageTypeOf, EarlierExtensionInTheListWinsWhereverItStands) {
    EXPECT_EQ(ImageTypeOf("a.bmp.jpg"), kImageBitmap);
    EXPECT_EQ(ImageTypeOf("a.gif.ico"), kImageIcon);
    EXPECT_EQ(ImageTypeOf("clouds.jpg.part"), kImageJpeg);
    EXPECT_EQ(ImageTypeOf("x.jpeg.gif"), kImageJpeg);
}

}  // namespace
