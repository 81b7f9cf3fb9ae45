#include "platform/widgets/long_list.h"

#include <QComboBox>
#include <QListView>
#include <algorithm>

namespace rux {

void LongListEntries::Add(qint64 number, std::string_view utf8) {
  if (std::all_of(utf8.begin(), utf8.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    texts_ += QLatin1StringView(utf8.data(), static_cast<qsizetype>(utf8.size()));
  else
    texts_ += QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  ends_.push_back(texts_.size());
  numbers_.push_back(number);
}

LongList::LongList(QComboBox* combo) : QAbstractListModel(combo) {
  combo->setModel(this);
  if (auto* view = qobject_cast<QListView*>(combo->view())) view->setUniformItemSizes(true);
  // The box is as wide as a name of the longest kind, whatever the entries.
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(19);
}

LongList* LongList::Of(const QComboBox* combo) { return qobject_cast<LongList*>(combo->model()); }

void LongList::Reset(LongListEntries entries) {
  beginResetModel();
  entries_ = std::move(entries);
  foundRow_ = -2;
  endResetModel();
}

int LongList::RowOf(qint64 number) const {
  const auto& numbers = entries_.numbers_;
  const auto at = std::lower_bound(numbers.begin(), numbers.end(), number);
  return at != numbers.end() && *at == number ? static_cast<int>(at - numbers.begin()) : -1;
}

int LongList::Find(const QString& text) const {
  if (foundRow_ != -2 && found_ == text) return foundRow_;
  const int rows = rowCount();
  int row = -1;
  // An entry that is the text itself comes first: with "abc" listed before
  // "ab", the text "ab" finds "ab", not "abc".
  for (int i = 0; i < rows && row < 0 && !text.isEmpty(); ++i)
    if (Entry(i) == text) row = i;
  for (int i = 0; i < rows && row < 0; ++i)
    if (Entry(i).startsWith(text, Qt::CaseInsensitive)) row = i;
  found_ = text;
  foundRow_ = row;
  return row;
}

int LongList::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.ends_.size());
}

QVariant LongList::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return Entry(index.row()).toString();
}

QStringView LongList::Entry(qsizetype row) const {
  const qsizetype start = row == 0 ? 0 : entries_.ends_[row - 1];
  return QStringView(entries_.texts_).sliced(start, entries_.ends_[row] - start);
}

}  // namespace rux
