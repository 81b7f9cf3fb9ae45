#pragma once
// The layout the three record windows share (new master key, modify, key
// management): a banner across the top, a strip down the left, the Key Book
// and Master Key rows, a band, the numeric block, the two columns of keys and
// a row of buttons along the bottom. Built once here; each window says what
// differs and adds its own buttons.
#include <QSize>
#include <QString>
#include <array>
#include <vector>

class QComboBox;
class QDialog;
class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace rux {

class DataExchange;

struct RecordLook {
  QString title;               // the window's caption, also shown in its banner
  QString numericCaption;      // the caption over Enlarge and Scramble
  QString numberLabel;         // "Nr: " or "Nr:"
  bool nameInList = false;     // a drop-down box with an edit part, else a plain field
  bool recordEditable = true;  // name, keys and numbers can be typed
  bool bookEditable = false;   // the Key Book field can be typed
};

class RecordForm {
 public:
  RecordForm(QDialog& window, const RecordLook& look);

  QLineEdit* keyBook = nullptr;
  QComboBox* nameList = nullptr;   // when the name is in a list
  QLineEdit* nameField = nullptr;  // otherwise
  QLineEdit* number = nullptr;
  QLineEdit* enlarge = nullptr;
  QLineEdit* scramble = nullptr;
  std::array<QLineEdit*, 10> keys{};  // Key 1 ... Key 10

  // A button to the right of the Key Book field.
  QPushButton* AddBookButton(const QString& text, const QString& name);
  // The next button of the bottom row, left to right; the first is the default.
  QPushButton* AddButton(const QString& text, const QString& name);
  // Space that pushes the following buttons to the right edge.
  void AddButtonGap();

  // The field in which the name is typed (the list's edit part when listed).
  QLineEdit* NameEdit() const;
  // Every field a user types a record into: name, keys, Enlarge, Scramble.
  std::vector<QLineEdit*> TypedFields() const;

  // Binds the window's values to the controls, in the order of the layout.
  void Exchange(DataExchange& dx, QString& keyBookPath, int& keyNumber, QString& masterKeyName,
                std::array<QString, 10>& keyTexts, QString& enlargeText, QString& scrambleText);

 private:
  QDialog& window_;
  QHBoxLayout* bookButtons_ = nullptr;
  QHBoxLayout* buttons_ = nullptr;
  bool firstButton_ = true;
};

// A size given in dialog units: a quarter of the average letter width across,
// an eighth of the font height down.
QSize DialogUnits(const QWidget& window, int width, int height);

}  // namespace rux
