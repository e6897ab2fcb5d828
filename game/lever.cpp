#include "game/symbol_table.h"
#include "runtime/numeric.h"
#include "ui/form1.h"

#include <algorithm>

namespace jangora {

namespace {

constexpr double charge = 0.25; // dollars a spin
constexpr int maxRollCount = 1000;
constexpr std::int16_t reelCount = 3;
// A drawn stop is 1 to 32: stop 0 carries an apple, but the draw never gives it. Single
// precision, as the draw's own numbers are.
constexpr float drawnStops = 32.0F;
constexpr float firstDrawnStop = 1.0F;

} // namespace

void Form1::Form1_Image1_MouseDown(const MouseEvent& /*event*/) {
    Image1.setVisible(false);
    Image3.setVisible(true);
    picInSlot(0).setVisible(false);
    picInSlot(1).setVisible(false);
    picInSlot(2).setVisible(false);
    if (GameOn != 0) {
        return; // a spin is under way: the lever moves, and that is all
    }

    Money = toSingle(static_cast<double>(Money) - charge);
    GameOn = 1;
    Timer2.setEnabled(false);
    Label3.setVisible(true);
    Timer1.setEnabled(true);
    Image1.setEnabled(false);

    const std::int16_t RollCount = roundToInteger(static_cast<double>(rnd()) * maxRollCount);
    // A charged spin always draws: with no pass it would show and pay the spin before again.
    const std::int16_t passes = std::max<std::int16_t>(RollCount, 1);
    for (Turn = 1; Turn <= passes; Turn = addInteger(Turn, 1)) {
        for (ReelNo = 1; ReelNo <= reelCount; ReelNo = addInteger(ReelNo, 1)) {
            StopNo = floorToInteger(static_cast<double>(rnd()) * drawnStops + firstDrawnStop);
            const Symbol& symbol = symbolAtStop(StopNo);
            SymbolNo = symbol.number;
            SymbolCode = symbol.payCode;
            ReelSymbol(ReelNo) = SymbolNo;
            picInSlot(subtractInteger(ReelNo, 1)).setPicture(picSlot(StopNo).picture());
        }
    }

    Timer3.setEnabled(true);
    Label3.setCaption("Rolling...");
}

void Form1::Form1_Image1_MouseUp(const MouseEvent& /*event*/) {
    Image3.setVisible(false);
    Image1.setVisible(true);
}

} // namespace jangora
