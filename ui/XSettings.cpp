// Reading the XSETTINGS property; see XSettings.h.
#include "XSettings.h"

#include <cstddef>

namespace {

enum class SettingType : std::uint8_t { Integer = 0, String = 1, Colour = 2 };

// X's byte-order marks, as the property's first byte gives them.
constexpr std::uint8_t LeastSignificantFirst = 0;
constexpr std::uint8_t MostSignificantFirst = 1;

// Reads the property front to back. Every read checks the bytes left first; a read that would go
// beyond them marks the reader failed and returns zeros, so a caller checks Failed() once.
class PropertyReader {
public:
    PropertyReader(std::span<const std::uint8_t> bytes, bool mostSignificantFirst)
        : bytes_(bytes), mostSignificantFirst_(mostSignificantFirst) {}

    bool Failed() const { return failed_; }

    std::uint32_t Number(std::size_t size) {
        if (!Has(size)) {
            return 0;
        }
        std::uint32_t value = 0;
        for (std::size_t index = 0; index < size; ++index) {
            const std::size_t at = mostSignificantFirst_ ? index : size - 1 - index;
            value = (value << 8) | bytes_[position_ + at];
        }
        position_ += size;
        return value;
    }

    // Text of the given length, followed by padding to a multiple of four bytes.
    std::string_view PaddedText(std::uint32_t length) {
        const std::size_t padded = (std::size_t{length} + 3) & ~std::size_t{3};
        if (!Has(padded)) {
            return {};
        }
        const std::string_view text(reinterpret_cast<const char*>(bytes_.data() + position_),
                                    length);
        position_ += padded;
        return text;
    }

    void Skip(std::size_t size) {
        if (Has(size)) {
            position_ += size;
        }
    }

private:
    bool Has(std::size_t size) {
        if (failed_ || size > bytes_.size() - position_) {
            failed_ = true;
            return false;
        }
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    bool mostSignificantFirst_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace

namespace {

// One setting as the property holds it: a string's text, or an integer's value.
struct SettingValue {
    SettingType Type = SettingType::Integer;
    std::string_view Text;
    std::int32_t Integer = 0;
};

// The setting called name; nullopt when the property has none or is not well formed anywhere.
// Where a name comes twice, the later setting counts.
std::optional<SettingValue> FindSetting(std::span<const std::uint8_t> property,
                                        std::string_view name) {
    if (property.empty() ||
        (property[0] != LeastSignificantFirst && property[0] != MostSignificantFirst)) {
        return std::nullopt;
    }
    PropertyReader reader(property, property[0] == MostSignificantFirst);
    reader.Skip(4);    // byte order and three unused bytes
    reader.Number(4);  // the manager's serial
    const std::uint32_t count = reader.Number(4);
    std::optional<SettingValue> found;
    // Each setting takes at least twelve bytes, so a count beyond what the property holds ends
    // at its end and fails there, whatever the count says.
    for (std::uint32_t setting = 0; setting < count && !reader.Failed(); ++setting) {
        SettingValue value{.Type = static_cast<SettingType>(reader.Number(1))};
        reader.Skip(1);
        const std::string_view settingName = reader.PaddedText(reader.Number(2));
        reader.Number(4);  // the serial of its last change
        switch (value.Type) {
            case SettingType::Integer:
                // Signed: -1 is how a manager says the toolkit's default.
                value.Integer = static_cast<std::int32_t>(reader.Number(4));
                break;
            case SettingType::String:
                value.Text = reader.PaddedText(reader.Number(4));
                break;
            case SettingType::Colour:
                reader.Skip(8);  // red, blue, green and alpha, two bytes each
                break;
            default:
                // A type of unknown size: nothing after it can be read.
                return std::nullopt;
        }
        if (!reader.Failed() && settingName == name) {
            found = value;
        }
    }
    // Bytes after the last setting are left alone: they hide no setting.
    if (reader.Failed()) {
        return std::nullopt;
    }
    return found;
}

}  // namespace

std::optional<std::string> XSettingsString(std::span<const std::uint8_t> property,
                                           std::string_view name) {
    const std::optional<SettingValue> found = FindSetting(property, name);
    if (!found || found->Type != SettingType::String) {
        return std::nullopt;
    }
    return std::string(found->Text);
}

std::optional<std::int32_t> XSettingsInteger(std::span<const std::uint8_t> property,
                                             std::string_view name) {
    const std::optional<SettingValue> found = FindSetting(property, name);
    if (!found || found->Type != SettingType::Integer) {
        return std::nullopt;
    }
    return found->Integer;
}
