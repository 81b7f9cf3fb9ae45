// The key management window re-reads its book when it is painted: the list
// appears at the first paint, a change made by another program shows at the
// next one, and nothing is rebuilt or said again while nothing changes.
#include <QAbstractItemModel>
#include <QApplication>

#include <filesystem>

#include "manage/keys_fixture.h"

namespace rux {
namespace {

using test::KeyRecord;
using test::MakeBook;

class KeysRepaintTest : public test::KeysTest {
 protected:
  // Paints the window and handles what painting queued; capped, so a refresh
  // that keeps repainting shows up as a count, not a hang.
  static void Paint(CKeysDlg& d) {
    d.repaint();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
  }
  static void ShowAndPaint(CKeysDlg& d) {
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    Paint(d);
  }
};

TEST_F(KeysRepaintTest, TheFirstPaintListsTheBookAndLaterPaintsRebuildNothing) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("three")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    EXPECT_EQ(List(d)->count(), 0);  // nothing is read before the window is painted
    int listings = 0;
    QObject::connect(List(d)->model(), &QAbstractItemModel::modelReset, &d, [&] { ++listings; });
    ShowAndPaint(d);
    EXPECT_EQ(Entries(d), QStringList({"one", "two", "three"}));
    EXPECT_EQ(Shown(d, "keyNumber"), "2");  // the opener's choice
    EXPECT_EQ(Shown(d, "key4"), "two-k4");
    for (int i = 0; i < 5; ++i) {
      d.update();
      Paint(d);
      d.RefreshOnRepaint();
    }
    EXPECT_EQ(listings, 1);
    d.reject();
  });
  RunKeys(book, "two", 1);
  EXPECT_TRUE(prompts.All().empty());
}

// A book that cannot be read keeps the list and the paints stay quiet;
// picking an entry then says why nothing can be shown.
TEST_F(KeysRepaintTest, AChangedOrNewlyChosenBookShowsAtTheNextPaint) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  const std::string other = dir.File("other.dat");
  MakeBook(other, {KeyRecord("alpha"), KeyRecord("beta")});
  prompts.Pick(QString::fromStdString(other));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    ShowAndPaint(d);
    MakeBook(book, {KeyRecord("one"), KeyRecord("zwei")});  // same size, another name
    Paint(d);
    EXPECT_EQ(Entries(d), QStringList({"one", "zwei"}));
    MasterKeyRecord changed = KeyRecord("one");  // the shown record's keys change too
    changed.keys[0] = "new key";
    MakeBook(book, {changed, KeyRecord("zwei"), KeyRecord("drei")});
    Paint(d);
    EXPECT_EQ(Entries(d), QStringList({"one", "zwei", "drei"}));
    EXPECT_EQ(Shown(d, "key1"), "new key");
    d.OnNewKeyBook();
    Paint(d);
    EXPECT_EQ(Entries(d), QStringList({"alpha", "beta"}));
    std::filesystem::remove(other);
    std::filesystem::create_directory(other);
    for (int i = 0; i < 5; ++i) Paint(d);
    EXPECT_EQ(Entries(d), QStringList({"alpha", "beta"}));
    EXPECT_EQ(prompts.Messages().size(), 0u);
    Pick(d, 1);
    d.reject();
  });
  RunKeys(book, "one");
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"The Key Book is not accessible, access is denied."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
}

}  // namespace
}  // namespace rux
