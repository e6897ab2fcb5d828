#include "runtime/qt/host.h"
#include "ui/form1.h"
#include "ui/pictures.h"

int main(int argc, char** argv) {
    return jangora::runHost(argc, argv, [](jangora::Services& services, const auto& readFile) {
        return std::make_unique<jangora::Form1>(services, jangora::loadPictures(readFile));
    });
}
