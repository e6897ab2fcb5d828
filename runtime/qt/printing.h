#pragma once

#include "runtime/qt/print_question.h"

#include <QImage>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QDialog;

namespace jangora {

class FormWindow;

// Prints the window's client area as it looks when asked, on one page: on the default printer,
// else on the only one, else on the one the player picks; without a printer, the player may
// keep the page as a PDF file in the documents folder. A print runs beside the game: the print
// system is asked off the window's thread while the game goes on, the pointer over the window
// showing that something is under way, and a print asked meanwhile follows once the one before
// it is in the printer's queue. The player is told only of trouble, once it is known, in a box
// that waits until no other box is open; and only what is known: a page that may have been
// printed is never said not to be.
class Printing {
  public:
    explicit Printing(FormWindow& window);
    ~Printing();
    Printing(const Printing&) = delete;
    Printing& operator=(const Printing&) = delete;

    // Takes the picture of the window now, and prints it after those asked before it.
    void print();

  private:
    class Run; // one print, from its picture to what the player is told of it

    void startNext();
    void pageTaken(const Run& run);
    void ended(const Run& run);
    void showBusy();
    // Shows a box of a print once no other box is open, if the game goes on; the game is not
    // held up meanwhile.
    void whenFree(std::function<void()> show);
    void showWaitingBoxes();
    int openBox(QDialog& box);

    FormWindow& window_;
    PrintQuestions questions_;
    std::deque<QImage> waiting_;
    std::vector<std::unique_ptr<Run>> runs_;
    const Run* sending_ = nullptr; // the print whose page the print system has not taken yet
    std::deque<std::function<void()>> boxes_;
    QTimer boxesWait_;
    bool busy_ = false;
};

} // namespace jangora
