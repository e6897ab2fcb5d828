#include "game/symbol_table.h"
#include "runtime/numeric.h"
#include "ui/form1.h"

namespace jangora {

// Waits for the reveal to end, then names the result and pays a line of three.
void Form1::Form1_Timer1_Timer() {
    if (!Timer3.enabled()) {
        const bool threeAlike = ReelSymbol(1) == ReelSymbol(2) && ReelSymbol(2) == ReelSymbol(3);
        const Symbol* line = threeAlike ? symbolWithPayCode(SymbolCode) : nullptr;
        if (line) {
            Label3.setCaption(line->message);
            Money = toSingle(static_cast<double>(Money) + line->prize);
        } else {
            Label3.setCaption(lossMessage);
        }
        // Stopped after a loss too: nothing is left to evaluate until the next spin.
        Timer1.setEnabled(false);
        GameOn = 0;
    }
    Image1.setEnabled(true);
}

} // namespace jangora
