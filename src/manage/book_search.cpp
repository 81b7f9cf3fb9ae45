#include "manage/book_search.h"

#include "editing/record_edit_dlg.h"
#include "keybook/key_book.h"
#include "platform/seams/prompts.h"

namespace rux {

QString FoundAtText(unsigned long long offset) {
  return QString("Found at: %1 registry location.%2").arg(offset).arg(offset / RECORD_SIZE + 1);
}

void SearchBook(QWidget* owner, const QString& bookPath, const QString& text) {
  int shown = 0;
  OpenResult read = OpenResult::Ok;
  read = SearchText(bookPath.toStdString(), text.toStdString(), [&](std::uint64_t offset) {
    if (shown > 0 && shown % kMatchesPerQuestion == 0 &&
        !Confirm(owner, "More matches follow. Show them?", bookPath)) {
      return false;
    }
    MessageBox(owner, FoundAtText(offset), bookPath);
    ++shown;
    return true;
  });
  if (read == OpenResult::InUse) MessageBox(owner, WriteFailureText(WriteResult::InUse), "ERROR");
}

}  // namespace rux
