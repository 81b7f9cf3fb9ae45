// The key management window re-reads its book when it is painted: the list
// appears at the first paint, a change made by another program shows at the
// next one, and nothing is rebuilt or said again while nothing changes.
#include <QAbstractItemModel>
#include <QApplication>
#include <QTest>

#include <filesystem>

#include "manage/keys_fixture.h"

namespace rux {
namespace {

using test::KeyRecord;
using test::MakeBook;

class KeysRepaintTest : public test::KeysTest {
 protected:
  // Lets the window paint and handle what painting queued; capped, so a
  // refresh that keeps repainting shows up as a count, not a hang.
  static void Settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
  }
  // Counts every entry put into the list from now on.
  static std::shared_ptr<int> CountInsertions(CKeysDlg& d) {
    auto count = std::make_shared<int>(0);
    QObject::connect(
        List(d)->model(), &QAbstractItemModel::rowsInserted, &d,
        [count](const QModelIndex&, int first, int last) { *count += last - first + 1; });
    return count;
  }
};

TEST_F(KeysRepaintTest, TheFirstPaintListsTheBookAndLaterPaintsRebuildNothing) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    const auto inserted = CountInsertions(d);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    Settle();
    EXPECT_EQ(Entries(d), QStringList({"one", "two"}));
    EXPECT_EQ(Shown(d, "keyNumber"), "2");
    EXPECT_EQ(*inserted, 2);
    for (int i = 0; i < 5; ++i) {
      d.update();
      d.repaint();
      Settle();
      d.RefreshOnRepaint();
    }
    EXPECT_EQ(*inserted, 2);
    d.reject();
  });
  RunKeys(book, "two");
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(KeysRepaintTest, AChangeByAnotherProgramShowsAtTheNextPaint) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    Settle();
    ASSERT_EQ(Entries(d), QStringList({"one", "two"}));

    // Same size, another name.
    MakeBook(book, {KeyRecord("one"), KeyRecord("zwei")});
    d.repaint();
    Settle();
    EXPECT_EQ(Entries(d), QStringList({"one", "zwei"}));

    // Another record, and the shown record's keys changed.
    MasterKeyRecord changed = KeyRecord("one");
    changed.keys[0] = "new key";
    MakeBook(book, {changed, KeyRecord("zwei"), KeyRecord("drei")});
    d.repaint();
    Settle();
    EXPECT_EQ(Entries(d), QStringList({"one", "zwei", "drei"}));
    EXPECT_EQ(Shown(d, "key1"), "new key");
    d.reject();
  });
  RunKeys(book, "one");
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(KeysRepaintTest, ABookThatCannotBeListedIsQuietAtEveryPaint) {
  MakeBook(book, {KeyRecord("one")});
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    Settle();
    std::filesystem::remove(book);
    std::filesystem::create_directory(book);
    for (int i = 0; i < 5; ++i) {
      d.repaint();
      Settle();
    }
    EXPECT_EQ(Entries(d), QStringList({"one"}));  // the list keeps its entries
    d.reject();
  });
  RunKeys(book, "one");
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(KeysRepaintTest, AChosenNewKeyBookIsTakenUpAtTheNextPaintWithoutAMessage) {
  MakeBook(book, {KeyRecord("one")});
  const std::string other = dir.File("other.dat");
  MakeBook(other, {KeyRecord("alpha"), KeyRecord("beta")});
  prompts.Pick(QString::fromStdString(other));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    Settle();
    d.OnNewKeyBook();
    d.repaint();
    Settle();
    EXPECT_EQ(Entries(d), QStringList({"alpha", "beta"}));
    d.reject();
  });
  RunKeys(book, "one");
  EXPECT_TRUE(prompts.Messages().empty());
}

}  // namespace
}  // namespace rux
