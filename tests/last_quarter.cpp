// The game with only its last quarter left, so that the first spin meets the guard: for the
// end-to-end tests. The game itself reads no setting that could start it so.

#include "runtime/qt/host.h"
#include "ui/form1.h"
#include "ui/pictures.h"

namespace {

class LastQuarter : public jangora::Form1 {
  public:
    LastQuarter(jangora::Services& services, const jangora::PictureSet& pictures)
        : Form1(services, pictures) {
        onLoad = [this] {
            Form1_Form_Load();
            Money = 0.25F;
        };
    }
};

} // namespace

int main(int argc, char** argv) {
    return jangora::runHost(argc, argv, [](jangora::Services& services, const auto& readFile) {
        return std::make_unique<LastQuarter>(services, jangora::loadPictures(readFile));
    });
}
