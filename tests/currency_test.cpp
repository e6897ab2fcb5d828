#include "runtime/qt/qt_services.h"

#include <gtest/gtest.h>

namespace jangora {
namespace {

std::string dollars(float amount, const char* locale) {
    return formatDollars(amount, QLocale(QString::fromLatin1(locale))).toStdString();
}

// The bankroll is dollars in every locale; only the layout is the locale's.
TEST(Currency, DollarsWithCentsLaidOutByTheLocale) {
    EXPECT_EQ(dollars(70, "en_US"), "$70.00");
    EXPECT_EQ(dollars(1234.5F, "en_US"), "$1,234.50");
    EXPECT_EQ(dollars(69.75F, "de_DE"), "69,75\u00A0$");
    EXPECT_EQ(dollars(1234.5F, "de_DE"), "1.234,50\u00A0$");
    EXPECT_EQ(dollars(69.75F, "fr_FR"), "69,75\u00A0$");
    EXPECT_EQ(dollars(1234.5F, "fr_FR"), "1\u202F234,50\u00A0$");
    EXPECT_EQ(dollars(69.75F, "ja_JP"), "$69.75");
    EXPECT_EQ(dollars(0, "C"), "$0.00");
    EXPECT_EQ(dollars(69.75F, "C"), "$69.75");
}

// Right to left, with the locale's own digits, or a locale nobody has: still dollars.
TEST(Currency, DollarsInRightToLeftAndNonLatinDigitLocales) {
    EXPECT_EQ(dollars(69.75F, "xx_XX"), "$69.75");
    EXPECT_EQ(dollars(69.75F, "he_IL"), "69.75\u00A0$");
    EXPECT_EQ(dollars(69.75F, "ar_EG"), "\u0666\u0669\u066B\u0667\u0665\u00A0$");
    EXPECT_EQ(dollars(69.75F, "fa_IR"), "\u200E$\u00A0\u06F6\u06F9\u066B\u06F7\u06F5");
}

} // namespace
} // namespace jangora
