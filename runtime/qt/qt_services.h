#pragma once

#include "runtime/qt/printing.h"
#include "runtime/random_source.h"
#include "runtime/services.h"

#include <QLocale>
#include <QString>

#include <memory>
#include <optional>

namespace jangora {

class FormWindow;

// An amount of dollars as `locale` lays out money: its symbol position, separators and
// negative form, always with the dollar sign and cents. The C locale writes it the US way.
[[nodiscard]] QString formatDollars(float dollars, const QLocale& locale);

class QtServices : public Services {
  public:
    void setWindow(FormWindow* window);

    void randomize() override { random_.seedFromClock(); }
    float rnd() override { return random_.next(); }
    MsgBoxResult msgBox(std::string_view prompt, MsgBoxStyle style,
                        std::string_view title) override;
    std::string formatCurrency(float dollars) override;
    void printForm() override;
    void endProgram(int exitStatus) override;
    void reportError(const RuntimeError& error) override;

  private:
    [[nodiscard]] QString titleOr(std::string_view title) const;
    void wakeTimersLater();

    FormWindow* window_ = nullptr;
    std::unique_ptr<Printing> printing_;
    RandomSource random_;
    QLocale locale_;
    // The bankroll is shown every millisecond but changes a few times a minute.
    std::optional<float> formattedDollars_;
    std::string formatted_;
};

} // namespace jangora
