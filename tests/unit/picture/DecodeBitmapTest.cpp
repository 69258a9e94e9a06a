// Reading 24-bit bitmap files: both row orders, row padding, and a clear rejection of every
// damaged or unsupported file before anything is read past its end.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PictureFiles.h"

namespace {

// Three pixels per row, so each stored row carries three bytes of padding.
Picture ThreeByTwo() {
    return {
        3, 2, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180}};
}

TEST(DecodeBitmap, ReadsBothRowOrdersWithPadding) {
    for (const RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown}) {
        const Picture decoded = DecodeBitmap(BitmapFile(ThreeByTwo(), order));
        const char* name = order == RowOrder::BottomUp ? "bottom-up" : "top-down";
        EXPECT_EQ(decoded.Width, 3) << name;
        EXPECT_EQ(decoded.Height, 2) << name;
        EXPECT_EQ(decoded.Rgb, ThreeByTwo().Rgb) << name;
    }
}

TEST(DecodeBitmap, ReadsTheFieldsItNeedsFromALongerHeader) {
    // A version 5 header (124 bytes) starts with the same fields as the 40-byte one.
    FileBytes file = BitmapFile(ThreeByTwo());
    file.insert(file.begin() + 54, 124 - 40, 0);
    PutU32(file, BitmapField::HeaderSize, 124);
    PutU32(file, BitmapField::PixelOffset, 14 + 124);
    PutU32(file, BitmapField::FileSize, static_cast<std::uint32_t>(file.size()));
    EXPECT_EQ(DecodeBitmap(file).Rgb, ThreeByTwo().Rgb);
}

TEST(DecodeBitmap, RejectsDamagedAndUnsupportedFiles) {
    struct Case {
        const char* Name;
        std::function<void(FileBytes&)> Damage;
    };
    const Case cases[] = {
        {"empty file", [](FileBytes& f) { f.clear(); }},
        {"cut inside the file header", [](FileBytes& f) { f.resize(10); }},
        {"cut inside the info header", [](FileBytes& f) { f.resize(30); }},
        {"last pixel byte missing", [](FileBytes& f) { f.pop_back(); }},
        {"signature BN", [](FileBytes& f) { f[1] = 'N'; }},
        {"file size beyond the end", [](FileBytes& f) { PutU32(f, BitmapField::FileSize, 1000); }},
        {"12-byte core header", [](FileBytes& f) { PutU32(f, BitmapField::HeaderSize, 12); }},
        {"header longer than the file",
         [](FileBytes& f) { PutU32(f, BitmapField::HeaderSize, 0xFFFFFFFF); }},
        {"two planes", [](FileBytes& f) { PutU16(f, BitmapField::Planes, 2); }},
        {"32 bits", [](FileBytes& f) { PutU16(f, BitmapField::BitsPerPixel, 32); }},
        {"8 bits", [](FileBytes& f) { PutU16(f, BitmapField::BitsPerPixel, 8); }},
        {"run-length compressed", [](FileBytes& f) { PutU32(f, BitmapField::Compression, 1); }},
        {"bit fields", [](FileBytes& f) { PutU32(f, BitmapField::Compression, 3); }},
        {"width 0", [](FileBytes& f) { PutU32(f, BitmapField::Width, 0); }},
        {"negative width", [](FileBytes& f) { PutU32(f, BitmapField::Width, 0xFFFFFFFD); }},
        {"height 0", [](FileBytes& f) { PutU32(f, BitmapField::Height, 0); }},
        {"most negative height", [](FileBytes& f) { PutU32(f, BitmapField::Height, 0x80000000); }},
        {"absurd width", [](FileBytes& f) { PutU32(f, BitmapField::Width, 0x7FFFFFFF); }},
        {"absurd height", [](FileBytes& f) { PutU32(f, BitmapField::Height, 100000); }},
        {"more rows than the file holds", [](FileBytes& f) { PutU32(f, BitmapField::Height, 3); }},
        {"pixels beyond the end",
         [](FileBytes& f) { PutU32(f, BitmapField::PixelOffset, 0xFFFFFFF0); }},
        {"pixels inside the header", [](FileBytes& f) { PutU32(f, BitmapField::PixelOffset, 20); }},
    };
    for (const Case& c : cases) {
        FileBytes file = BitmapFile(ThreeByTwo());
        c.Damage(file);
        EXPECT_THROW(DecodeBitmap(file), PictureFormatError) << c.Name;
    }
}

}  // namespace
