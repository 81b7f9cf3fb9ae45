#pragma once
// The entries of a drop-down list that may hold a million of them (the Master
// Key names of a Key Book): filled in one step, drawn only where in sight,
// every entry as high as the others, and none of them measured to size the
// box. Each entry stands for a number (its record number) and is found by it
// without going through the list.
#include <QAbstractListModel>
#include <QString>
#include <string_view>
#include <vector>

class QComboBox;

namespace rux {

// The entries, gathered before they go into the list.
class LongListEntries {
 public:
  void Add(qint64 number, std::string_view utf8);
  qint64 Count() const { return static_cast<qint64>(numbers_.size()); }

 private:
  friend class LongList;
  QString texts_;                // the entries one after the other
  std::vector<qsizetype> ends_;  // where each entry ends in texts_
  std::vector<qint64> numbers_;  // ascending
};

class LongList : public QAbstractListModel {
  Q_OBJECT
 public:
  // Becomes the combo box's list.
  explicit LongList(QComboBox* combo);
  // The list of a combo box set up with one; nullptr otherwise.
  static LongList* Of(const QComboBox* combo);

  void Reset(LongListEntries entries);
  // The entry of the number; -1 when none stands for it.
  int RowOf(qint64 number) const;
  qint64 NumberOf(int row) const { return entries_.numbers_[row]; }
  // The entry that is the text itself, else the first entry that begins with
  // the text ignoring case; -1 when none. The answer is kept until the
  // entries change, so asking again costs nothing.
  int Find(const QString& text) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  QStringView Entry(qsizetype row) const;

  LongListEntries entries_;
  mutable QString found_;
  mutable int foundRow_ = -2;  // -2: nothing asked since the last change
};

}  // namespace rux
