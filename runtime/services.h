#pragma once

#include <string>
#include <string_view>

namespace jangora {

class RuntimeError;

enum class MsgBoxStyle { OkOnly = 0, YesNo = 4 };

enum class MsgBoxResult { Ok = 1, Yes = 6, No = 7 };

// What the game needs of the window system and the runtime library beyond its controls.
// The Qt host supplies the real ones; tests supply their own.
class Services {
  public:
    virtual ~Services() = default;

    // Seeds the random source from the clock.
    virtual void randomize() = 0;
    // The next number of the random sequence, uniform in [0, 1).
    virtual float rnd() = 0;

    // A modal box; an empty title means the default title.
    virtual MsgBoxResult msgBox(std::string_view prompt, MsgBoxStyle style,
                                std::string_view title) = 0;

    // An amount of dollars as the user's locale writes money.
    virtual std::string formatCurrency(float dollars) = 0;

    // Sends an image of the window, as it looks now, to the printer.
    virtual void printForm() = 0;

    // The host's part of ending the program; the form has already stopped every handler.
    virtual void endProgram(int exitStatus) = 0;

    // Tells the player about a run-time error before the program ends.
    virtual void reportError(const RuntimeError& error) = 0;
};

} // namespace jangora
