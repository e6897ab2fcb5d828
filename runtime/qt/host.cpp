#include "runtime/qt/host.h"

#include "runtime/qt/display_check.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/qt_services.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

#include <cstdio>

namespace jangora {

std::optional<std::vector<std::uint8_t>> readEmbeddedFile(std::string_view name) {
    QFile file(QStringLiteral(":/assets/") +
               QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

int runHost(int argc, char** argv, const FormFactory& makeForm) {
    if (const std::optional<std::string> problem = displayProblem()) {
        std::fprintf(stderr, "jangora: cannot open the game's window: %s.\n", problem->c_str());
        return 2;
    }
    QApplication application(argc, argv);
    QtServices services;

    std::unique_ptr<Form> form;
    try {
        form = makeForm(services, readEmbeddedFile);
    } catch (const StartupError& error) {
        std::fprintf(stderr, "jangora: %s\n", error.what());
        QMessageBox::critical(nullptr, QStringLiteral("Jangora"), QString::fromUtf8(error.what()));
        return 3;
    }

    FormWindow window(*form);
    services.setWindow(&window);
    form->load();
    if (form->ended()) {
        return form->exitStatus();
    }
    window.show();
    window.startClock();
    const int status = application.exec();
    return form->ended() ? form->exitStatus() : status;
}

} // namespace jangora
