// Reading the XSETTINGS property, which another program writes: well-formed properties in both
// byte orders, and every way a property can be cut short, oversized or of the wrong shape.

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "XSettings.h"

namespace {

// Writes a property as a settings manager does, in the given byte order.
class PropertyWriter {
public:
    explicit PropertyWriter(bool mostSignificantFirst, std::uint32_t count)
        : mostSignificantFirst_(mostSignificantFirst) {
        Bytes = {static_cast<std::uint8_t>(mostSignificantFirst ? 1 : 0), 0, 0, 0};
        Number(7, 4);  // serial
        Number(count, 4);
    }

    PropertyWriter& String(const std::string& name, const std::string& value) {
        Head(1, name);
        Number(static_cast<std::uint32_t>(value.size()), 4);
        Padded(value);
        return *this;
    }
    PropertyWriter& Integer(const std::string& name, std::uint32_t value) {
        Head(0, name);
        Number(value, 4);
        return *this;
    }
    PropertyWriter& Colour(const std::string& name) {
        Head(2, name);
        Bytes.insert(Bytes.end(), 8, 0xff);
        return *this;
    }

    std::vector<std::uint8_t> Bytes;

private:
    void Head(std::uint8_t type, const std::string& name) {
        Bytes.push_back(type);
        Bytes.push_back(0);
        Number(static_cast<std::uint32_t>(name.size()), 2);
        Padded(name);
        Number(3, 4);  // serial of the last change
    }
    void Number(std::uint32_t value, int size) {
        for (int index = 0; index < size; ++index) {
            const int shift = 8 * (mostSignificantFirst_ ? size - 1 - index : index);
            Bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    void Padded(const std::string& text) {
        Bytes.insert(Bytes.end(), text.begin(), text.end());
        Bytes.insert(Bytes.end(), (4 - text.size() % 4) % 4, 0);
    }

    bool mostSignificantFirst_;
};

constexpr char Theme[] = "Net/ThemeName";

TEST(XSettingsString, FindsTheNamedStringInEitherByteOrder) {
    for (const bool mostSignificantFirst : {false, true}) {
        PropertyWriter property(mostSignificantFirst, 5);
        property.Integer("Xft/DPI", 98304)
            .String("Gtk/FontName", "Cantarell 11")
            .Colour("Gtk/Color")
            .String(Theme, "HighContrastInverse")
            .String("Net/IconThemeName", "");
        const std::string order = mostSignificantFirst ? "most" : "least";
        EXPECT_EQ(XSettingsString(property.Bytes, Theme), "HighContrastInverse") << order;
        EXPECT_EQ(XSettingsString(property.Bytes, "Gtk/FontName"), "Cantarell 11") << order;
        EXPECT_EQ(XSettingsString(property.Bytes, "Net/IconThemeName"), "") << order;
        EXPECT_EQ(XSettingsString(property.Bytes, "Xft/DPI"), std::nullopt)
            << order << ": a number is no string";
        EXPECT_EQ(XSettingsString(property.Bytes, "Gtk/Color"), std::nullopt) << order;
        EXPECT_EQ(XSettingsString(property.Bytes, "Net/Theme"), std::nullopt)
            << order << ": a prefix of a name is another name";
        EXPECT_EQ(XSettingsInteger(property.Bytes, "Xft/DPI"), 98304) << order;
        EXPECT_EQ(XSettingsInteger(property.Bytes, Theme), std::nullopt)
            << order << ": a string is no number";
    }
    PropertyWriter unset(true, 1);
    unset.Integer("Xft/DPI", 0xFFFFFFFF);
    EXPECT_EQ(XSettingsInteger(unset.Bytes, "Xft/DPI"), -1) << "integers are signed";
    PropertyWriter twice(false, 2);
    twice.String(Theme, "Adwaita").String(Theme, "HighContrast");
    EXPECT_EQ(XSettingsString(twice.Bytes, Theme), "HighContrast") << "the later one counts";
    PropertyWriter none(false, 0);
    EXPECT_EQ(XSettingsString(none.Bytes, Theme), std::nullopt) << "no settings at all";
    none.Bytes.insert(none.Bytes.end(), 6, 0);
    EXPECT_EQ(XSettingsString(none.Bytes, Theme), std::nullopt) << "bytes after the settings";
    PropertyWriter trailing(false, 1);
    trailing.String(Theme, "HighContrast").Bytes.push_back(0);
    EXPECT_EQ(XSettingsString(trailing.Bytes, Theme), "HighContrast")
        << "bytes after the last setting hide nothing";
}

TEST(XSettingsString, AMalformedPropertyGivesNothing) {
    PropertyWriter good(false, 2);
    good.Integer("Xft/DPI", 1).String(Theme, "HighContrast");
    const std::vector<std::uint8_t>& bytes = good.Bytes;
    // Cut anywhere before its end, the property is cut short; the padding of the last value
    // counts, so even the last three bytes may not go.
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_EQ(XSettingsString(std::span(bytes).first(length), Theme), std::nullopt)
            << "cut to " << length << " bytes";
    }

    struct Case {
        const char* What;
        std::size_t Offset;  // of the byte that is replaced
        std::uint8_t Value;
    };
    // Offsets in the property above: header 12 bytes; the integer setting 8 + 8 ("Xft/DPI" padded)
    // + 4 bytes; then the string setting's type at 32, its name length at 34 and its value length
    // at 56.
    const Case cases[] = {
        {"an unknown byte order", 0, 2},
        {"a count beyond the settings there", 8, 3},
        {"a huge count", 11, 0xff},
        {"an unknown type", 12, 7},
        {"an unknown type after the first setting", 32, 3},
        {"a name longer than the property", 35, 0xff},
        {"a value longer than the property", 59, 0x7f},
        {"a value ending in its padding's place", 56, 14},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> broken = bytes;
        ASSERT_LT(c.Offset, broken.size()) << c.What;
        broken[c.Offset] = c.Value;
        EXPECT_EQ(XSettingsString(broken, Theme), std::nullopt) << c.What;
    }
    // The setting sought comes first, and one of a type whose size nobody knows after it:
    // skipping over that one by guess would pass off a broken property as a good one.
    PropertyWriter unknownLast(false, 2);
    unknownLast.String(Theme, "HighContrast").Integer("Xft/DPI", 1);
    unknownLast.Bytes[52] = 7;
    EXPECT_EQ(XSettingsString(unknownLast.Bytes, Theme), std::nullopt) << "an unknown last type";

    std::vector<std::uint8_t> shorter = bytes;
    shorter[56] = 11;  // "HighContrast" read as its first eleven bytes, padded to twelve
    EXPECT_EQ(XSettingsString(shorter, Theme), "HighContras") << "a shorter value stays inside";
}

}  // namespace
