// Every test program of the windows runs with one offscreen application object.
#include <QApplication>
#include <memory>

#include <gtest/gtest.h>

namespace {

struct QtEnvironment : ::testing::Environment {
  void SetUp() override {
    static int argc = 1;
    static char name[] = "shellrux-test", *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app.reset(); }
  std::unique_ptr<QApplication> app;
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
