#pragma once
// Replaces the modal run of the program's windows: each run hands the opened
// window to the next scripted step, which drives its controls and ends it
// (accept() for OK, reject() for Cancel). A run with no step left fails the
// test and ends the window with Cancel.
#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

#include <gtest/gtest.h>

namespace rux::test {

class ModalScript {
 public:
  ModalScript();  // installs itself
  ~ModalScript();

  ModalScript& Then(std::function<void(QDialog&)> step);
  template <typename Window>
  ModalScript& Then(std::function<void(Window&)> step) {
    return Then([step](QDialog& d) {
      auto* w = dynamic_cast<Window*>(&d);
      ASSERT_NE(w, nullptr) << "unexpected window " << d.windowTitle().toStdString();
      step(*w);
    });
  }

  const QStringList& Titles() const { return titles_; }  // of every window run

 private:
  int Run(QDialog& dialog);
  std::deque<std::function<void(QDialog&)>> steps_;
  QStringList titles_;
};

}  // namespace rux::test
