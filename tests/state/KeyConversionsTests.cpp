// Keys as text, in list-item tags and as numbers: what converts, how a decimal part rounds, and
// which failure (and its number) each other text or value gives.
#include "failures/StowlineError.h"
#include "state/KeyConversions.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace stowline::state {
namespace {

constexpr qint32 Ok = -1;

// The converted value, or the number of the failure it raised.
struct Expected {
    qint64 value;
    qint32 failure = Ok;
};
constexpr Expected overflow{0, error_number::Overflow};
constexpr Expected mismatch{0, error_number::TypeMismatch};

void expectConversion(const std::function<qint64()>& convert, Expected expected,
                      const std::string& what) {
    try {
        const qint64 value = convert();
        EXPECT_EQ(expected.failure, Ok) << what << " gave " << value;
        EXPECT_EQ(value, expected.value) << what;
    } catch (const StowlineError& e) {
        EXPECT_EQ(e.info().Number, expected.failure) << what << ": " << e.what();
    }
}

TEST(KeyConversions, TextToSixteenAndThirtyTwoBits) {
    const struct {
        const char* text;
        Expected int16;
        Expected int32;
    } cases[] = {
        {"12", {12}, {12}},
        {" \t12 ", {12}, {12}},
        {"-32768", {-32768}, {-32768}},
        {"32767", {32767}, {32767}},
        {"32768", overflow, {32768}},
        {"-32769", overflow, {-32769}},
        {"2147483647", overflow, {2147483647}},
        {"2147483648", overflow, overflow},
        {"-2147483648", overflow, {-2147483648LL}},
        {"-2147483649", overflow, overflow},
        // A decimal part rounds half to even.
        {"1.5", {2}, {2}},
        {"2.5", {2}, {2}},
        {"-0.5", {0}, {0}},
        {"2.51", {3}, {3}},
        {"1e3", {1000}, {1000}},
        {"32767.4", {32767}, {32767}},
        {"32767.5", overflow, {32768}},
        {"-32768.5", {-32768}, {-32768}},
        {"-32768.6", overflow, {-32769}},
        {"1e10", overflow, overflow},
        {"", mismatch, mismatch},
        {" ", mismatch, mismatch},
        {"abc", mismatch, mismatch},
        {"12abc", mismatch, mismatch},
        {"0x10", mismatch, mismatch},
        {"inf", mismatch, mismatch},
        {"nan", mismatch, mismatch},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        expectConversion([&] { return toInt16(text); }, c.int16, std::string("int16 ") + c.text);
        expectConversion([&] { return toInt32(text); }, c.int32, std::string("int32 ") + c.text);
    }
}

TEST(KeyConversions, NumbersAndTagsToSixteenBits) {
    const std::pair<qint64, Expected> numbers[] = {
        {0, {0}},          {32767, {32767}},   {-32768, {-32768}},
        {32768, overflow}, {-32769, overflow}, {std::numeric_limits<qint64>::max(), overflow}};
    for (const auto& [number, expected] : numbers) {
        expectConversion([&] { return toInt16(number); }, expected,
                         "number " + std::to_string(number));
    }
    // A tag holds the key as text, the integer 0 when the service gave none, or nothing yet.
    const std::pair<QVariant, Expected> tags[] = {
        {QVariant(QStringLiteral("7")), {7}},
        {QVariant(QStringLiteral("40000")), overflow},
        {QVariant(QStringLiteral("x")), mismatch},
        {QVariant(0), {0}},
        {QVariant(qlonglong(-32768)), {-32768}},
        {QVariant(qlonglong(40000)), overflow},
        {QVariant(), {0}},
        {QVariant(QStringList{QStringLiteral("7")}), mismatch},
    };
    for (const auto& [tag, expected] : tags) {
        expectConversion([&] { return toInt16(tag); }, expected,
                         "tag " + tag.toString().toStdString());
    }
}

} // namespace
} // namespace stowline::state
