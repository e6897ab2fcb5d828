#include "game/symbol_table.h"
#include "runtime/numeric.h"
#include "ui/form1.h"

namespace jangora {

namespace {

const Image& templateOf(const Form1& form, const Symbol& symbol) {
    return dynamic_cast<const Image&>(form.control(symbol.templateControl));
}

} // namespace

void Form1::Form1_Form_Load() {
    randomize();
    Money = 70;
    // The pulled lever stands exactly where the lever at rest is, so the two can swap.
    Image3.move(Image1.left(), Image1.top());
    GameOn = 0;

    const auto& [apple, cherry, banana, box, cash, seven] = symbols;
    fillStops(AppleStop, apple.firstStop, apple.lastStop, templateOf(*this, apple));
    fillStops(CherryStop, cherry.firstStop, cherry.lastStop, templateOf(*this, cherry));
    fillStops(BananaStop, banana.firstStop, banana.lastStop, templateOf(*this, banana));
    fillStops(BoxStop, box.firstStop, box.lastStop, templateOf(*this, box));
    picSlot(cash.firstStop).setPicture(picCash.picture());
    picSlot(cash.lastStop).setPicture(picCash.picture());
    picSlot(seven.firstStop).setPicture(pic7.picture());
}

void Form1::fillStops(std::int16_t& counter, std::int16_t first, std::int16_t last,
                      const Image& source) {
    for (counter = first; counter <= last; counter = addInteger(counter, 1)) {
        picSlot(counter).setPicture(source.picture());
    }
}

} // namespace jangora
