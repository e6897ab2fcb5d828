#include "ui/form1.h"

namespace jangora {

// Shows the reel windows one a tick, left to right, and stops once all three are shown.
void Form1::Form1_Timer3_Timer() {
    if (!picInSlot(0).visible() && !picInSlot(1).visible() && !picInSlot(2).visible()) {
        picInSlot(0).setVisible(true);
    } else if (picInSlot(0).visible() && !picInSlot(1).visible()) {
        picInSlot(1).setVisible(true);
    } else if (picInSlot(0).visible() && picInSlot(1).visible()) {
        picInSlot(2).setVisible(true);
    }
    if (picInSlot(0).visible() && picInSlot(1).visible() && picInSlot(2).visible()) {
        Timer3.setEnabled(false);
    }
}

} // namespace jangora
