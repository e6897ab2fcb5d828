#include "ui/form1.h"

#include <string>

namespace jangora {

void Form1::Form1_Image4_Click() {
    const MsgBoxResult answer =
        msgBox("This button is to print the current screen. Are you sure you want to do that?",
               MsgBoxStyle::YesNo, description().caption);
    // The answer is kept as the text of its code, and read back from that text: PrintAnswer is
    // a form variable of the window, and a string.
    PrintAnswer = std::to_string(static_cast<int>(answer));
    if (std::stod(PrintAnswer) == static_cast<int>(MsgBoxResult::Yes)) {
        printForm();
    }
}

} // namespace jangora
