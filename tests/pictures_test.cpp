#include "runtime/qt/host.h"
#include "runtime/qt/picture_cache.h"
#include "runtime/runtime_error.h"
#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QImage>

#include <set>
#include <string>

namespace jangora {
namespace {

std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}

std::vector<std::uint8_t> embedded(std::string_view name) {
    auto bytes = readEmbeddedFile(name);
    EXPECT_TRUE(bytes) << name;
    return bytes.value_or(std::vector<std::uint8_t>{});
}

TEST(Pictures, EveryBitmapHasTheExactFileLayout) {
    for (const PictureFile& file : form1Pictures) {
        if (file.icon) {
            continue;
        }
        SCOPED_TRACE(std::string(file.file));
        const std::vector<std::uint8_t> b = embedded(file.file);
        const std::uint32_t row = (file.width * 3 + 3) / 4 * 4;
        const std::uint32_t pixelBytes = row * file.height;
        ASSERT_EQ(b.size(), 54 + pixelBytes);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(u32(b, 2), b.size());
        EXPECT_EQ(u32(b, 10), 54U);
        EXPECT_EQ(u32(b, 14), 40U);
        EXPECT_EQ(u32(b, 18), static_cast<std::uint32_t>(file.width));
        EXPECT_EQ(u32(b, 22), static_cast<std::uint32_t>(file.height)); // positive: bottom-up
        EXPECT_EQ(u16(b, 26), 1U);
        EXPECT_EQ(u16(b, 28), 24U);
        EXPECT_EQ(u32(b, 30), 0U);
        EXPECT_EQ(u32(b, 34), pixelBytes);
        EXPECT_EQ(u32(b, 38), 2834U);
        EXPECT_EQ(u32(b, 42), 2834U);
        EXPECT_EQ(u32(b, 46), 0U);
        // Our decoder reads them as Qt's own reader does.
        const QImage decoded =
            decodePicture({std::string(file.file), file.width, file.height, b, {}});
        EXPECT_EQ(decoded.size(), QSize(file.width, file.height));
        EXPECT_EQ(decoded, QImage::fromData(b.data(), static_cast<int>(b.size()), "BMP")
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    // The sizes the window's layout relies on.
    EXPECT_EQ(embedded("print_button.bmp").size(), 3254U);
    EXPECT_EQ(embedded("apple.bmp").size(), 33654U);
    EXPECT_EQ(embedded("lever_at_rest.bmp").size(), 97254U);
    EXPECT_EQ(embedded("banner.bmp").size(), 28654U);
}

TEST(Pictures, TheIconIsOneSixteenPixelImageWithATransparentRing) {
    const std::vector<std::uint8_t> b = embedded("jangora.ico");
    ASSERT_EQ(b.size(), 894U);
    EXPECT_EQ(u16(b, 0), 0U);
    EXPECT_EQ(u16(b, 2), 1U);
    EXPECT_EQ(u16(b, 4), 1U);
    EXPECT_EQ(b[6], 16);
    EXPECT_EQ(b[7], 16);
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(u16(b, 10), 1U);
    EXPECT_EQ(u16(b, 12), 24U);
    EXPECT_EQ(u32(b, 14), 872U);
    EXPECT_EQ(u32(b, 18), 22U);
    EXPECT_EQ(u32(b, 22), 40U);
    EXPECT_EQ(u32(b, 26), 16U);
    EXPECT_EQ(u32(b, 30), 32U);
    EXPECT_EQ(u16(b, 36), 24U);
    EXPECT_EQ(u32(b, 38), 0U);
    EXPECT_EQ(u32(b, 42), 832U);
    EXPECT_EQ(u32(b, 46), 0U);
    const std::size_t mask = 22 + 40 + 16 * 48;
    // Our decoder gives Qt's colours, and takes the mask into account, which Qt's does not.
    const QImage decoded = decodePicture({"jangora.ico", 16, 16, b, {}});
    const QImage byQt = QImage::fromData(b.data(), static_cast<int>(b.size()), "ICO");
    int transparent = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool clear =
                (b[mask + static_cast<std::size_t>(y * 4 + x / 8)] >> (7 - x % 8)) & 1;
            const bool ring = x == 0 || y == 0 || x == 15 || y == 15;
            EXPECT_EQ(clear, ring) << x << "," << y;
            EXPECT_EQ(decoded.pixel(x, y), clear ? 0 : byQt.pixel(x, y)) << x << "," << y;
            transparent += clear;
        }
    }
    EXPECT_EQ(transparent, 60);
}

TEST(Pictures, AllElevenDiffer) {
    std::set<std::vector<std::uint8_t>> distinct;
    for (const PictureFile& file : form1Pictures) {
        distinct.insert(embedded(file.file));
    }
    EXPECT_EQ(distinct.size(), 11U);
}

TEST(Pictures, AMissingOrDamagedPictureIsAClearStartupError) {
    const auto readWithDamage = [](std::string_view damaged, auto damage) {
        return [=](std::string_view name) {
            auto bytes = readEmbeddedFile(name);
            if (name == damaged) {
                damage(bytes);
            }
            return bytes;
        };
    };
    try {
        (void)loadPictures(readWithDamage("cherry.bmp", [](auto& bytes) { bytes->at(28) = 8; }));
        FAIL() << "a bitmap of 8 bits per pixel was taken";
    } catch (const StartupError& error) {
        EXPECT_STREQ(
            error.what(),
            "The picture cherry.bmp is damaged: it is not one plane of 24 bits per pixel.");
    }
    try {
        (void)loadPictures(readWithDamage("jangora.ico", [](auto& bytes) { bytes->resize(100); }));
        FAIL() << "a cut icon was taken";
    } catch (const StartupError& error) {
        EXPECT_STREQ(error.what(), "The picture jangora.ico is damaged: it is not 894 bytes long.");
    }
    EXPECT_THROW(
        (void)loadPictures(readWithDamage("banner.bmp", [](auto& bytes) { bytes.reset(); })),
        StartupError);
    EXPECT_EQ(loadPictures(readEmbeddedFile).size(), 11U);
}

} // namespace
} // namespace jangora
