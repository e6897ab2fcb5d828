#include "game/symbol_table.h"
#include "runtime/runtime_error.h"

#include <gtest/gtest.h>

namespace jangora {
namespace {

TEST(SymbolTable, EveryBorderOfTheStopRangesAndStopZero) {
    const struct {
        std::int16_t stop;
        std::int16_t number;
        std::int32_t payCode;
    } cases[] = {{0, 1, 1},     {1, 1, 1},      {10, 1, 1},     {11, 2, 11},
                 {18, 2, 11},   {19, 3, 111},   {24, 3, 111},   {25, 4, 1111},
                 {29, 4, 1111}, {30, 5, 11111}, {31, 5, 11111}, {32, 6, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stop);
        EXPECT_EQ(symbolAtStop(c.stop).number, c.number);
        EXPECT_EQ(symbolAtStop(c.stop).payCode, c.payCode);
    }
    EXPECT_THROW((void)symbolAtStop(33), RuntimeError);
    EXPECT_THROW((void)symbolAtStop(-1), RuntimeError);
}

TEST(SymbolTable, FillPlanGivesEachTemplateItsStopsInOrder) {
    const struct {
        const char* templateControl;
        std::int16_t first;
        std::int16_t last;
    } plan[] = {{"picApple", 0, 10}, {"picCherry", 11, 18}, {"picBanana", 19, 24},
                {"PicBox", 25, 29},  {"picCash", 30, 31},   {"pic7", 32, 32}};
    ASSERT_EQ(symbols.size(), std::size(plan));
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        EXPECT_EQ(symbols[i].number, static_cast<std::int16_t>(i + 1));
        EXPECT_EQ(symbols[i].templateControl, plan[i].templateControl);
        EXPECT_EQ(symbols[i].firstStop, plan[i].first);
        EXPECT_EQ(symbols[i].lastStop, plan[i].last);
    }
}

TEST(SymbolTable, PrizeAndMessagePerPayCode) {
    const struct {
        std::int32_t payCode;
        float prize;
        const char* message;
    } lines[] = {
        {1, 10, "3 apples! You win $10!"},           {11, 15, "3 Cherries! You win $15!!"},
        {111, 30, "3 Bananas! You win $30!!"},       {1111, 50, "3 BOXES!! YOU WIN $50!!"},
        {11111, 100, "3 $ SIGNS!! YOU WIN $100!!!"}, {2, 1000, "JACKPOT!!! YOU WIN 1000$!!!"}};
    for (const auto& line : lines) {
        const Symbol* symbol = symbolWithPayCode(line.payCode);
        ASSERT_NE(symbol, nullptr) << line.payCode;
        EXPECT_EQ(symbol->prize, line.prize);
        EXPECT_EQ(symbol->message, line.message);
    }
    EXPECT_EQ(symbolWithPayCode(0), nullptr);
    EXPECT_EQ(symbolWithPayCode(111111), nullptr);
    EXPECT_EQ(lossMessage, "You did not win anything.");
}

} // namespace
} // namespace jangora
