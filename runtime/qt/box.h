#pragma once

class QDialog;

namespace jangora {

// Runs one of the game's boxes until it is answered, and returns its result. The box stays
// above the window but does not block it the way Qt's modal boxes do: Qt drops a window
// system's request to close a window that a modal box blocks, and the player who closes the
// game's window means to end the game. The form takes no input while a box is open. The box
// takes the keyboard when it opens and gives it back to the window when it closes.
int runBox(QDialog& box);

} // namespace jangora
