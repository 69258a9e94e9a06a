// Amount arithmetic through exact wide intermediates.

#include "Currency.h"

#include "WideInteger.h"

Currency Currency::FromInteger(std::int32_t n) {
    return Currency(std::int64_t{n} * Scale);
}

std::optional<Currency> Currency::FromWide(const WideInteger& raw) {
    const std::optional<std::int64_t> narrow = raw.ToInt64();
    if (!narrow) {
        return std::nullopt;
    }
    return Currency(*narrow);
}

std::optional<Currency> Add(Currency a, Currency b) {
    return Currency::FromWide(WideInteger::FromInt64(a.Raw()).Plus(b.Raw()));
}

std::optional<Currency> Subtract(Currency a, Currency b) {
    // Negating b itself could overflow for the most negative value; the product cannot.
    return Currency::FromWide(WideInteger::Product(b.Raw(), -1).Plus(a.Raw()));
}

std::optional<Currency> Multiply(Currency a, Currency b) {
    return Currency::FromWide(WideInteger::Product(a.Raw(), b.Raw()).DividedBy(Currency::Scale));
}

std::optional<Currency> Divide(Currency a, Currency b) {
    if (b.Raw() == 0) {
        return std::nullopt;
    }
    return Currency::FromWide(WideInteger::Product(a.Raw(), Currency::Scale).DividedBy(b.Raw()));
}
