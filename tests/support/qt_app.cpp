// Every test program of the windows runs with one offscreen application object.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

struct QtEnvironment : ::testing::Environment {
  void SetUp() override {
    static int argc = 1;
    static char name[] = "shellrux-test", *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(argc, argv);
  }
  void TearDown() override { delete app; }
  QApplication* app = nullptr;
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
