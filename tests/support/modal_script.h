#pragma once
// Each modal run hands its window to the next scripted step, which ends it.
#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

#include <gtest/gtest.h>

#include "platform/widgets/dialog.h"
#include "platform/widgets/modal.h"

namespace rux::test {

class ModalScript {
 public:
  ModalScript() {
    InstallModalRunner([this](QDialog& d) { return Run(d); });
  }
  ~ModalScript() {
    InstallModalRunner(nullptr);
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " scripted window step(s) never ran";
  }

  ModalScript& Then(std::function<void(QDialog&)> step) {
    steps_.push_back(std::move(step));
    return *this;
  }
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
  int Run(QDialog& dialog) {
    titles_ << dialog.windowTitle();
    if (steps_.empty()) {
      ADD_FAILURE() << "unscripted window: " << dialog.windowTitle().toStdString();
      dialog.reject();
    } else {
      auto step = std::move(steps_.front());
      steps_.pop_front();
      bool ended = false;
      const auto ending = QObject::connect(&dialog, &QDialog::finished, [&] { ended = true; });
      step(dialog);
      QObject::disconnect(ending);
      EXPECT_TRUE(ended) << "the step left " << dialog.windowTitle().toStdString() << " open";
    }
    if (auto* d = dynamic_cast<Dialog*>(&dialog)) return d->ModalResult();
    return dialog.result();
  }

  std::deque<std::function<void(QDialog&)>> steps_;
  QStringList titles_;
};

}  // namespace rux::test
