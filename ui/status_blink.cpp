#include "ui/form1.h"

namespace jangora {

// Until the first spin the status line is shown and hidden by turns.
void Form1::Form1_Timer2_Timer() {
    if (Label3.visible()) {
        Label3.setVisible(false);
    } else {
        Label3.setVisible(true);
    }
}

} // namespace jangora
