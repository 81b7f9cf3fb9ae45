#pragma once
// The live check of Enlarge and Scramble while the user types: one warning
// box when the field's text does not make a number. The new master key window
// checks just before the changed text shows, the modify window just after.
#include "editing/rules/field_rules.h"

class QLineEdit;
class QWidget;

namespace rux {

enum class CheckMoment { BeforeTextShows, AfterTextShows };

// Checks the field's current text; the text itself is never changed.
void LiveCheck(QWidget* owner, QLineEdit* field, NumericField which, CheckMoment moment);

}  // namespace rux
