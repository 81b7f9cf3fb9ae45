#include "editing/record_form.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include "editing/rules/field_rules.h"
#include "platform/widgets/decoration.h"
#include "platform/widgets/dialog.h"
#include "platform/widgets/long_list.h"

namespace rux {
namespace {

// Refuses what a Key Book cannot hold: characters outside Windows-1252 and
// control characters.
class FieldValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return FitsField(input.toStdString()) ? Acceptable : Invalid;
  }
};

QLabel* Label(QWidget& parent, const QString& text, const QString& name) {
  auto* label = new QLabel(text, &parent);
  label->setObjectName(name);
  return label;
}

QLineEdit* Field(QWidget& parent, const QString& name, bool enabled) {
  auto* edit = new QLineEdit(&parent);
  edit->setObjectName(name);
  HoldAnyLength(edit);
  edit->setEnabled(enabled);
  return edit;
}

void LimitTyping(QLineEdit* edit, int maxLength, QValidator* validator) {
  if (maxLength > 0) edit->setMaxLength(maxLength);
  edit->setValidator(validator);
}

}  // namespace

RecordForm::RecordForm(QDialog& window, const RecordLook& look) : window_(window) {
  window.setWindowTitle(look.title);
  auto* validator = new FieldValidator(&window);

  auto* outer = new QHBoxLayout(&window);
  outer->setContentsMargins(0, 0, 8, 8);
  outer->addWidget(MakeSideStrip(&window));
  auto* bands = new QVBoxLayout;
  outer->addLayout(bands, 1);
  bands->addWidget(MakeBanner(&window, look.title));

  // Key Book and Master Key.
  auto* upper = new QGridLayout;
  upper->addWidget(Label(window, "Key Book:", "keyBookLabel"), 0, 0);
  keyBook = Field(window, "keyBook", look.bookEditable);
  upper->addWidget(keyBook, 0, 1, 1, 3);
  bookButtons_ = new QHBoxLayout;
  upper->addLayout(bookButtons_, 0, 4);
  upper->addWidget(Label(window, "Master Key:", "masterKeyLabel"), 1, 0);
  if (look.nameInList) {
    nameList = new QComboBox(&window);
    nameList->setObjectName("masterKeyName");
    nameList->setEditable(true);
    nameList->setInsertPolicy(QComboBox::NoInsert);
    nameList->setMaxVisibleItems(12);
    new LongList(nameList);  // a book of a million names lists at once
    upper->addWidget(nameList, 1, 1);
  } else {
    nameField = Field(window, "masterKeyName", look.recordEditable);
    upper->addWidget(nameField, 1, 1);
  }
  LimitTyping(NameEdit(), kNameLength, validator);
  upper->addWidget(Label(window, look.numberLabel, "keyNumberLabel"), 1, 2, Qt::AlignRight);
  number = Field(window, "keyNumber", false);
  number->setMaximumWidth(80);
  upper->addWidget(number, 1, 3);
  upper->setColumnStretch(1, 1);
  bands->addLayout(upper);

  auto* band = MakeBanner(&window, QString(), 14);
  band->setObjectName("middleBand");
  bands->addWidget(band);

  // Numeric block over the two columns of keys.
  auto* grid = new QGridLayout;
  grid->addWidget(Label(window, look.numericCaption, "numericCaption"), 0, 0, 1, 4);
  grid->addWidget(Label(window, "Enlarge:", "enlargeLabel"), 1, 0);
  enlarge = Field(window, "enlarge", look.recordEditable);
  grid->addWidget(enlarge, 1, 1);
  grid->addWidget(Label(window, "Scramble:", "scrambleLabel"), 1, 2);
  scramble = Field(window, "scramble", look.recordEditable);
  grid->addWidget(scramble, 1, 3);
  LimitTyping(enlarge, 0, validator);
  LimitTyping(scramble, 0, validator);
  grid->addWidget(Label(window, "ALFANUMERIC:", "alfanumericCaption"), 2, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  bands->addLayout(grid);
  // Two columns of keys, each a block of its own, so that the keys are read
  // and tabbed through in their numbers' order: Key 1 to Key 5, then Key 6 to Key 10.
  auto* keyColumns = new QHBoxLayout;
  for (int column = 0; column < 2; ++column) {
    auto* block = new QGridLayout;
    for (int row = 0; row < 5; ++row) {
      const int n = column * 5 + row + 1;
      block->addWidget(Label(window, QString("Key %1:").arg(n), QString("key%1Label").arg(n)), row,
                       0);
      keys[n - 1] = Field(window, QString("key%1").arg(n), look.recordEditable);
      LimitTyping(keys[n - 1], kKeyLength, validator);
      block->addWidget(keys[n - 1], row, 1);
    }
    block->setColumnStretch(1, 1);
    keyColumns->addLayout(block, 1);
  }
  bands->addLayout(keyColumns);
  bands->addStretch(1);

  buttons_ = new QHBoxLayout;
  bands->addLayout(buttons_);

  window.setMinimumSize(DialogUnits(window, 427, 295));
}

QPushButton* RecordForm::AddBookButton(const QString& text, const QString& name) {
  auto* button = new QPushButton(text, &window_);
  button->setObjectName(name);
  button->setAutoDefault(false);
  bookButtons_->addWidget(button);
  return button;
}

QPushButton* RecordForm::AddButton(const QString& text, const QString& name) {
  auto* button = new QPushButton(text, &window_);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setDefault(firstButton_);
  firstButton_ = false;
  buttons_->addWidget(button);
  return button;
}

void RecordForm::AddButtonGap() { buttons_->addStretch(1); }

QLineEdit* RecordForm::NameEdit() const { return nameList ? nameList->lineEdit() : nameField; }

std::vector<QLineEdit*> RecordForm::TypedFields() const {
  std::vector<QLineEdit*> fields{NameEdit()};
  fields.insert(fields.end(), keys.begin(), keys.end());
  fields.push_back(enlarge);
  fields.push_back(scramble);
  return fields;
}

void RecordForm::Exchange(DataExchange& dx, QString& keyBookPath, int& keyNumber,
                          QString& masterKeyName, std::array<QString, 10>& keyTexts,
                          QString& enlargeText, QString& scrambleText) {
  dx.Text(keyBook, keyBookPath);
  if (nameList)
    dx.ComboText(nameList, masterKeyName);
  else
    dx.Text(nameField, masterKeyName);
  dx.Number(number, keyNumber);
  for (int i = 0; i < 10; ++i) dx.Text(keys[i], keyTexts[i]);
  dx.Text(enlarge, enlargeText);
  dx.Text(scramble, scrambleText);
}

QSize DialogUnits(const QWidget& window, int width, int height) {
  const QFontMetrics metrics(window.font());
  const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const int baseWidth = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
  const int baseHeight = metrics.height();
  return QSize(width * baseWidth / 4, height * baseHeight / 8);
}

}  // namespace rux
