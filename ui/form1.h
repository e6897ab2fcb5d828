#pragma once

#include "runtime/form.h"

#include <cstdint>
#include <string>

namespace jangora {

// The form-level variables of the game's window, in the order the window holds them.
struct Form1Variables {
    FixedArray<std::int16_t, 0, 3> ReelSymbol; // symbol numbers of reels 1 to 3
    std::int16_t Turn = 0;
    std::int16_t StopNo = 0;
    std::int16_t ReelNo = 0;
    float Money = 0; // the bankroll, dollars
    std::int16_t GameOn = 0;
    std::int16_t AppleStop = 0;
    std::int16_t CherryStop = 0;
    std::int16_t BananaStop = 0;
    std::int16_t BoxStop = 0;
    std::int16_t SymbolNo = 0;
    std::int32_t SymbolCode = 0;
    std::string PrintAnswer;

    bool operator==(const Form1Variables&) const = default;
};

// The game's one window: its controls by the names of the window description, its
// form-level variables, and its event handlers.
class Form1 : public Form, public Form1Variables {
  public:
    Form1(Services& services, const PictureSet& pictures);

    // Controls
    Timer& Timer4; // 1 ms, always: shows the bankroll, and turns a spent player away
    Timer& Timer3; // 160 ms, from a charged press: uncovers the reel windows one by one
    Timer& Timer2; // 750 ms, until the first spin: blinks the status line
    Timer& Timer1; // 1 ms, from a charged press: frees the lever, then pays once uncovered
    Image& Image4;
    ControlArray<Image> picSlot;   // the virtual reel, stops 0 to 32
    ControlArray<Image> picInSlot; // the three reel windows
    Image& picCherry;
    Image& pic7;
    Image& picCash;
    Image& PicBox;
    Image& picBanana;
    Image& picApple;
    Image& Image3; // lever pulled
    Label& Label4; // credit line
    Label& Label3; // status line
    Image& Image2; // banner
    Label& Label2; // bankroll
    Image& Image1; // lever at rest

    // Event handlers
    void Form1_Form_Load();
    void Form1_Image1_MouseDown(const MouseEvent& event);
    void Form1_Image1_MouseUp(const MouseEvent& event);
    void Form1_Image4_Click();
    void Form1_Timer1_Timer();
    void Form1_Timer2_Timer();
    void Form1_Timer3_Timer();
    void Form1_Timer4_Timer();

  private:
    // Gives the stops from `first` to `last` of the virtual reel the picture of `source`.
    void fillStops(std::int16_t& counter, std::int16_t first, std::int16_t last,
                   const Image& source);
};

} // namespace jangora
