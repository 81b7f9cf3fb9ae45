#pragma once
// Finding a window's controls by object name, as a user finds them by label.
#include <QObject>

#include <gtest/gtest.h>

namespace rux::test {

template <typename T>
T* Child(const QObject* root, const QString& name) {
  T* found = root->findChild<T*>(name);
  EXPECT_NE(found, nullptr) << "no control named " << name.toStdString();
  return found;
}

}  // namespace rux::test
