#include "runtime/qt/box.h"

#include <QDialog>
#include <QEventLoop>

namespace jangora {

int runBox(QDialog& box) {
    box.setWindowModality(Qt::NonModal);
    QEventLoop answered;
    QObject::connect(&box, &QDialog::finished, &answered, &QEventLoop::exit);
    box.show();
    // Ends with the box's answer, or when the program ends meanwhile.
    return answered.exec();
}

} // namespace jangora
