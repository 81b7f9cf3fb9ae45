#pragma once
// Reports every place in a Key Book's raw bytes where a text occurs: one box
// per match, as the scan finds it, with the byte position and the number of
// the record slot holding it. After every hundred boxes the user may stop.
#include <QString>

class QWidget;

namespace rux {

inline constexpr int kMatchesPerQuestion = 100;

// "Found at: 1440 registry location.3"
QString FoundAtText(unsigned long long offset);

void SearchBook(QWidget* owner, const QString& bookPath, const QString& text);

}  // namespace rux
