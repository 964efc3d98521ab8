#include "base/Decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

std::string CFormat(const char* format, double value)
{
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void ExpectLikeTheCLibrary(double value)
{
    EXPECT_EQ(FormatFixed2(value), CFormat("%.2f", value)) << CFormat("%.17g", value);
    EXPECT_EQ(FormatSignificant15(value), CFormat("%.15g", value)) << CFormat("%.17g", value);
}

// glibc converts exactly; ours must give the same text and the same bits, ties and all.
TEST(Decimal, FormatsLikeTheCLibrary)
{
    for (double v : {0.0, -0.0, 0.005, 0.015, 0.125, 0.375, 2.675, 12.25, 60.0, 99.995, 0.999, 1e-5, 1e-4, 123456.0,
                     1e15, 1e16, 123456789012345678.0, 3.4028234663852886e38, 5e-324, 1.7976931348623157e308, -7.5,
                     -0.001, 1.0 / 3})
        ExpectLikeTheCLibrary(v);
    EXPECT_EQ(FormatFixed2(HUGE_VAL), "inf");
    EXPECT_EQ(FormatSignificant15(-HUGE_VAL), "-inf");

    std::mt19937_64 random(7);
    for (int i = 0; i < 1000; ++i) {
        std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v))
            ExpectLikeTheCLibrary(v);
        // Values of the kind the fields hold: a few digits, two places, ties at .xx5.
        ExpectLikeTheCLibrary(static_cast<double>(random() % 2000000) / 1000 - 1000);
    }
}

TEST(Decimal, ParsesLikeTheCLibrary)
{
    std::vector<std::string> texts = {"0", "-0", "60.0", "12.25", "3e", "1e400", "-1e400", "1e-400", "2.4703282292062327e-324",
                                      "2.4703282292062328e-324", "4.9e-324", "1.7976931348623157e308",
                                      "1.7976931348623158e308", "9007199254740993", "0.1", ".5", "5.",
                                      "1" + std::string(900, '0') + "e-900", "0." + std::string(850, '0') + "1e851"};
    std::mt19937_64 random(11);
    for (int i = 0; i < 3000; ++i) {
        std::string t = random() % 2 ? "-" : "";
        const int whole = static_cast<int>(random() % 20), places = static_cast<int>(random() % 20);
        for (int d = 0; d < whole; ++d)
            t += static_cast<char>('0' + random() % 10);
        t += '.';
        for (int d = 0; d < places; ++d)
            t += static_cast<char>('0' + random() % 10);
        if (whole + places == 0)
            t += '7';
        if (random() % 2)
            t += "e" + std::to_string(static_cast<int>(random() % 660) - 330);
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        const double ours = ParseCheckedDecimal(t), theirs = std::strtod(t.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&ours, &theirs, sizeof ours), 0) << t << ": " << ours << " vs " << theirs;
    }
}

}  // namespace
