#include "game/symbol_table.h"
#include "runtime/numeric.h"
#include "ui/form1.h"

namespace jangora {

void Form1::Form1_Form_Load() {
    randomize();
    Money = 70;
    // The pulled lever stands exactly where the lever at rest is, so the two can swap.
    Image3.move(Image1.left(), Image1.top());
    GameOn = 0;

    const auto& [apple, cherry, banana, box, cash, seven] = symbols;
    fillStops(AppleStop, apple);
    fillStops(CherryStop, cherry);
    fillStops(BananaStop, banana);
    fillStops(BoxStop, box);
    picSlot(cash.firstStop).setPicture(picCash.picture());
    picSlot(cash.lastStop).setPicture(picCash.picture());
    picSlot(seven.firstStop).setPicture(pic7.picture());
}

// Gives every stop of the symbol's range the picture of its template control.
void Form1::fillStops(std::int16_t& counter, const Symbol& symbol) {
    for (counter = symbol.firstStop; counter <= symbol.lastStop; counter = addInteger(counter, 1)) {
        picSlot(counter).setPicture(templateControl(symbol).picture());
    }
}

} // namespace jangora
