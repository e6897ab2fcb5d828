#include "ui/form1.h"

#include "ui/form1_description.h"

namespace jangora {

Form1::Form1(Services& services, const PictureSet& pictures)
    : Form(services, form1Window, form1Controls(), pictures), Timer4(named<Timer>("Timer4")),
      Timer3(named<Timer>("Timer3")), Timer2(named<Timer>("Timer2")),
      Timer1(named<Timer>("Timer1")), Image4(named<Image>("Image4")),
      picSlot(array<Image>("picSlot")), picInSlot(array<Image>("picInSlot")),
      picCherry(named<Image>("picCherry")), pic7(named<Image>("pic7")),
      picCash(named<Image>("picCash")), PicBox(named<Image>("PicBox")),
      picBanana(named<Image>("picBanana")), picApple(named<Image>("picApple")),
      Image3(named<Image>("Image3")), Label4(named<Label>("Label4")),
      Label3(named<Label>("Label3")), Image2(named<Image>("Image2")),
      Label2(named<Label>("Label2")), Image1(named<Image>("Image1")) {
    watchVariables(static_cast<const Form1Variables&>(*this));
    onLoad = [this] { Form1_Form_Load(); };
    Image1.onMouseDown = [this](const MouseEvent& event) { Form1_Image1_MouseDown(event); };
    Image1.onMouseUp = [this](const MouseEvent& event) { Form1_Image1_MouseUp(event); };
    Image4.onClick = [this] { Form1_Image4_Click(); };
    Timer1.onTimer = [this] { Form1_Timer1_Timer(); };
    Timer2.onTimer = [this] { Form1_Timer2_Timer(); };
    Timer3.onTimer = [this] { Form1_Timer3_Timer(); };
    Timer4.onTimer = [this] { Form1_Timer4_Timer(); };
    // The bankroll's tick reads Money alone of the variables: it need not wake when a spin's
    // result changes the others and leaves the bankroll as it was.
    Timer4.readsOfTheVariablesOnly(watchVariableReadAlone(Money));
}

} // namespace jangora
