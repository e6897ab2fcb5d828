#include "ui/form1.h"

namespace jangora {

// Keeps the bankroll on show, and turns the player away once it is spent.
void Form1::Form1_Timer4_Timer() {
    Label2.setCaption(formatCurrency(Money));
    if (Money == 0) {
        msgBox("Guard: Hey get out of here if you don't have any money!!", MsgBoxStyle::OkOnly);
        end();
    }
}

} // namespace jangora
