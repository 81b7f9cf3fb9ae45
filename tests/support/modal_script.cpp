#include "support/modal_script.h"

#include "platform/widgets/dialog.h"
#include "platform/widgets/modal.h"

namespace rux::test {

ModalScript::ModalScript() {
  InstallModalRunner([this](QDialog& d) { return Run(d); });
}

ModalScript::~ModalScript() {
  InstallModalRunner(nullptr);
  EXPECT_TRUE(steps_.empty()) << steps_.size() << " scripted window step(s) never ran";
}

ModalScript& ModalScript::Then(std::function<void(QDialog&)> step) {
  steps_.push_back(std::move(step));
  return *this;
}

int ModalScript::Run(QDialog& dialog) {
  titles_ << dialog.windowTitle();
  if (steps_.empty()) {
    ADD_FAILURE() << "unscripted window: " << dialog.windowTitle().toStdString();
    dialog.reject();
  } else {
    auto step = std::move(steps_.front());
    steps_.pop_front();
    step(dialog);
  }
  if (auto* d = dynamic_cast<Dialog*>(&dialog)) return d->ModalResult();
  return dialog.result();
}

}  // namespace rux::test
