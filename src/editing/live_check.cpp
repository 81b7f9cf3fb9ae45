#include "editing/live_check.h"

#include <QLineEdit>

#include "platform/seams/prompts.h"

namespace rux {

void LiveCheck(QWidget* owner, QLineEdit* field, NumericField which, CheckMoment moment) {
  if (!NeedsWarning(which, field->text().toStdString())) return;
  const auto warn = [&] { MessageBox(owner, kWrongNumberWarning, LiveCheckCaption(which)); };
  if (moment == CheckMoment::AfterTextShows) {
    field->repaint();
    warn();
    return;
  }
  // The box comes up while the field still shows its former text.
  field->setUpdatesEnabled(false);
  warn();
  field->setUpdatesEnabled(true);
}

}  // namespace rux
