// The conversion message: raised through the hook when normalising a text runs out of memory,
// after which the conversion carries on with the text as far as normalising got. This test
// program's operator new can be told to fail one allocation, which stands in for the exhaustion.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "AmountText.h"
#include "ScopedAmountSettings.h"

namespace {

// Allocations until the one that fails, counting it; 0 when none is to fail.
std::size_t allocationsUntilFailure = 0;

class FailingAllocation {
public:
    explicit FailingAllocation(std::size_t count) { allocationsUntilFailure = count; }
    ~FailingAllocation() { allocationsUntilFailure = 0; }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
};

// Longer than any text kept inside a string object, so copying it and cutting it allocate.
const std::string LongText = "12.000000000000000000000";

// TextToAmount of LongText while its second allocation fails: the first is the working copy,
// the second the first step that removes the point.
std::optional<std::int64_t> ConvertWhileNormalisingFails() {
    try {
        const FailingAllocation failing(2);
        return TextToAmount(LongText).Raw();
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.NormalisedText(), LongText) << "text \"" << LongText << "\"";
        return std::nullopt;
    }
}

}  // namespace

void* operator new(std::size_t size) {
    if (allocationsUntilFailure != 0 && --allocationsUntilFailure == 0) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

TEST(TextToAmount, ShowsTheConversionMessageAndCarriesOnWhenNormalisingFails) {
    const ScopedDecimalSeparator point('.');
    int messages = 0;
    const ScopedConversionMessageHook hook([&messages] { ++messages; });

    // Normalised, the text is "12" and 21 zeros, far outside the range.
    EXPECT_THROW(TextToAmount(LongText), ConversionError) << "text \"" << LongText << "\"";
    EXPECT_EQ(messages, 0) << "text \"" << LongText << "\"";

    // Left as it was, the text reads 12 with the current separator, and no mark was removed.
    EXPECT_EQ(ConvertWhileNormalisingFails(), 120000) << "text \"" << LongText << "\"";
    EXPECT_EQ(messages, 1) << "text \"" << LongText << "\"";
}

TEST(TextToAmount, ReportsTheTextAsFarAsNormalisingGot) {
    const ScopedDecimalSeparator comma(',');
    int messages = 0;
    const ScopedConversionMessageHook hook([&messages] { ++messages; });
    // With a comma locale the point left in the text is no separator, so the parse error
    // names the unchanged text.
    EXPECT_EQ(ConvertWhileNormalisingFails(), std::nullopt) << "text \"" << LongText << "\"";
    EXPECT_EQ(messages, 1) << "text \"" << LongText << "\"";
}

TEST(TextToAmount, CarriesOnWithoutAHook) {
    const ScopedDecimalSeparator point('.');
    EXPECT_EQ(ConvertWhileNormalisingFails(), 120000) << "text \"" << LongText << "\"";
}

}  // namespace
