#include "runtime/qt/host.h"

#include "runtime/qt/accessibility.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/frame_trace.h"
#include "runtime/qt/held_keys.h"
#include "runtime/qt/qt_services.h"
#include "runtime/qt/qt_text.h"
#include "runtime/qt/window_system.h"

#include <QApplication>
#include <QMessageBox>
#include <QResource>

#include <cstdio>
#include <dlfcn.h>
#include <thread>

namespace jangora {

// The files are embedded uncompressed: used where they lie in the program's image, and not
// copied.
std::optional<std::span<const std::uint8_t>> readEmbeddedFile(std::string_view name) {
    const QResource file(QStringLiteral(":/assets/") + toQString(name));
    if (!file.isValid() || file.compressionAlgorithm() != QResource::NoCompression) {
        return std::nullopt;
    }
    return std::span(file.data(), static_cast<std::size_t>(file.size()));
}

namespace {

// The first text drawn waits for fontconfig to read its configuration, some 8 ms of the first
// frame. Qt has the library loaded already; a thread of its own reads it while Qt connects
// to the display.
std::jthread readFontConfiguration() {
    using Init = int (*)();
    if (auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit"))) {
        return std::jthread(init);
    }
    return {};
}

} // namespace

int runHost(int argc, char** argv, const FormFactory& makeForm) {
    // Qt's own Wayland title bar offers to maximize, and only to find out whether it could draw
    // one, Qt loads the whole of OpenGL, some 50 MB: the window draws one of its own where the
    // compositor draws none.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION")) {
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    }
    std::jthread fontConfiguration = readFontConfiguration();
    const std::unique_ptr<QApplication> application = openWindowSystem(argc, argv);
    if (fontConfiguration.joinable()) {
        fontConfiguration.join();
    }
    HeldKeys::repeatByPressesAlone();
    QtServices services;

    std::unique_ptr<Form> form;
    try {
        form = makeForm(services, readEmbeddedFile);
    } catch (const StartupError& error) {
        std::fprintf(stderr, "jangora: cannot start: %s\n", error.what());
        QMessageBox::critical(nullptr, QStringLiteral("Jangora"), toQString(error.what()));
        return 2;
    } catch (const std::exception& fault) { // the game's code and its window's description differ
        std::fprintf(stderr, "jangora: cannot start: the game's window could not be made: %s\n",
                     fault.what());
        return 2;
    }

    const FormDescription& description = form->description();
    QGuiApplication::setApplicationName(toQString(description.application));
    QGuiApplication::setDesktopFileName(toQString(description.desktopEntry));
    installFormAccessibility();
    FormWindow window(*form);
    FrameTrace::watchIfAsked(window);
    services.setWindow(&window);
    form->load();
    if (form->ended()) {
        return form->exitStatus();
    }
    window.show();
    window.activateWindow(); // in a session without a window manager too
    window.prepareFonts();
    window.clock().start();
    const int status = QApplication::exec();
    return form->ended() ? form->exitStatus() : status;
}

} // namespace jangora
