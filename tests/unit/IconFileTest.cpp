// The committed program icon: the layout Windows needs to load both images
// from the .exe (directory, headers, palette, colour bits, then the mask).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadIcon() {
    std::ifstream in(std::string(OMBRY_SOURCE_DIR) + "/resources/ombry.ico", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
    return v;
}

struct Expected {
    int size;      // width and height in pixels
    int colours;   // palette entries
    int bpp;
};

constexpr Expected kImages[] = {{32, 16, 4}, {64, 2, 1}};

int RowBytes(int width, int bpp) { return (width * bpp + 31) / 32 * 4; }

class IconFile : public ::testing::Test {
protected:
    void SetUp() override {
        ico = ReadIcon();
        ASSERT_EQ(ico.size(), 1854u) << "resources/ombry.ico missing or of the wrong size";
    }
    std::vector<std::uint8_t> ico;
};

TEST_F(IconFile, DirectoryHoldsTwoIcons) {
    EXPECT_EQ(Le(ico, 0, 2), 0u);  // reserved
    EXPECT_EQ(Le(ico, 2, 2), 1u);  // 1 = icon, 2 would be a cursor
    EXPECT_EQ(Le(ico, 4, 2), 2u);
}

TEST_F(IconFile, EntriesDescribeTheirImagesAndTileTheFile) {
    std::size_t expectedOffset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const Expected& e = kImages[i];
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(ico[entry + 0], e.size % 256);
        EXPECT_EQ(ico[entry + 1], e.size % 256);
        EXPECT_EQ(ico[entry + 2], e.colours);
        EXPECT_EQ(ico[entry + 3], 0);
        EXPECT_EQ(Le(ico, entry + 4, 2), 1u);  // planes
        EXPECT_EQ(Le(ico, entry + 6, 2), static_cast<std::uint32_t>(e.bpp));
        const std::uint32_t bytes = Le(ico, entry + 8, 4);
        const std::uint32_t offset = Le(ico, entry + 12, 4);
        EXPECT_EQ(offset, expectedOffset) << "images must follow one another without gaps";

        const std::uint32_t want = 40 + 4 * e.colours + RowBytes(e.size, e.bpp) * e.size +
                                   RowBytes(e.size, 1) * e.size;
        EXPECT_EQ(bytes, want);
        expectedOffset = offset + bytes;
    }
    EXPECT_EQ(expectedOffset, ico.size()) << "the last image must end at the end of the file";
}

TEST_F(IconFile, BitmapHeadersMatchTheDirectory) {
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const Expected& e = kImages[i];
        const std::size_t at = Le(ico, 6 + 16 * i + 12, 4);
        EXPECT_EQ(Le(ico, at + 0, 4), 40u);                                 // BITMAPINFOHEADER
        EXPECT_EQ(static_cast<std::int32_t>(Le(ico, at + 4, 4)), e.size);
        EXPECT_EQ(static_cast<std::int32_t>(Le(ico, at + 8, 4)), 2 * e.size);  // colour + mask
        EXPECT_EQ(Le(ico, at + 12, 2), 1u);
        EXPECT_EQ(Le(ico, at + 14, 2), static_cast<std::uint32_t>(e.bpp));
        EXPECT_EQ(Le(ico, at + 16, 4), 0u);  // BI_RGB
        const std::uint32_t used = Le(ico, at + 32, 4);
        EXPECT_TRUE(used == 0 || used == static_cast<std::uint32_t>(e.colours)) << used;
    }
}

// Reads pixel (x, y), top-down, from the image's colour bits or its mask.
struct Image {
    const std::vector<std::uint8_t>& ico;
    std::size_t at;
    Expected e;

    std::size_t ColourBits() const { return at + 40 + 4 * e.colours; }
    std::size_t MaskBits() const { return ColourBits() + RowBytes(e.size, e.bpp) * e.size; }

    int Colour(int x, int y) const {
        const std::size_t row = ColourBits() + RowBytes(e.size, e.bpp) * (e.size - 1 - y);
        const int bit = x * e.bpp;
        return (ico[row + bit / 8] >> (8 - e.bpp - bit % 8)) & ((1 << e.bpp) - 1);
    }
    bool Transparent(int x, int y) const {
        const std::size_t row = MaskBits() + RowBytes(e.size, 1) * (e.size - 1 - y);
        return (ico[row + x / 8] >> (7 - x % 8)) & 1;
    }
    std::uint32_t Palette(int i) const { return Le(ico, at + 40 + 4 * i, 4); }
};

TEST_F(IconFile, ImagesAreDrawnAndTheirTransparentPixelsAreBlack) {
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const Image img{ico, Le(ico, 6 + 16 * i + 12, 4), kImages[i]};
        int opaque = 0;
        bool used[16] = {};
        for (int y = 0; y < img.e.size; ++y) {
            for (int x = 0; x < img.e.size; ++x) {
                if (img.Transparent(x, y)) {
                    // Anything but black there is XORed onto the desktop.
                    EXPECT_EQ(img.Palette(img.Colour(x, y)) & 0xFFFFFFu, 0u) << x << "," << y;
                } else {
                    ++opaque;
                    used[img.Colour(x, y)] = true;
                }
            }
        }
        const int area = img.e.size * img.e.size;
        EXPECT_GT(opaque, area / 2) << "the picture should fill most of the icon";
        EXPECT_LT(opaque, area) << "the corners should let the background show";
        int distinct = 0;
        for (bool u : used) distinct += u;
        EXPECT_GE(distinct, 2);
    }
}

TEST_F(IconFile, MonochromeImageIsBlackAndWhite) {
    const std::size_t at = Le(ico, 6 + 16 + 12, 4);
    EXPECT_EQ(Le(ico, at + 40, 4) & 0xFFFFFFu, 0x000000u);
    EXPECT_EQ(Le(ico, at + 44, 4) & 0xFFFFFFu, 0xFFFFFFu);
}

}  // namespace
