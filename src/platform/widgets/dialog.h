#pragma once
// A modal dialog whose values live in members bound to its controls.
// UpdateData(true) reads every bound control into its member ("read fields");
// UpdateData(false) puts every member into its control ("refresh"). Change
// notifications raised while either runs are ignored, so a refresh never
// causes a read.
#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace rux {

class DataExchange {
 public:
  explicit DataExchange(bool saving) : saving_(saving) {}
  bool Saving() const { return saving_; }

  void Text(QLineEdit* edit, QString& value);
  void Text(QPlainTextEdit* edit, QString& value);
  // The text shown as a decimal integer. A text that is not one leaves the member as it is.
  void Number(QLineEdit* edit, int& value);
  // The combo box's text. A refresh selects the entry that is the text itself,
  // else the first entry that begins with the text, ignoring case (an empty
  // text selects the first entry), or puts the text into the edit part when
  // none does.
  void ComboText(QComboBox* combo, QString& value);

 private:
  bool saving_;
};

// Lets a line edit hold a text of any length: by default it cuts every text
// at 32,767 characters.
void HoldAnyLength(QLineEdit* edit);

// Selects the entry that is the text itself, else the first entry that begins
// with the text, ignoring case; -1 when none. The combo box's entries are a
// LongList (platform/widgets/long_list.h).
int SelectByPrefix(QComboBox* combo, const QString& text);

class Dialog : public QDialog {
  Q_OBJECT
 public:
  enum Result { IDOK = 1, IDCANCEL = 2 };

  explicit Dialog(QWidget* parent = nullptr);

  // Initialises the window and runs it through the modal seam; IDOK or IDCANCEL.
  virtual int DoModal();
  bool UpdateData(bool saveAndValidate = true);
  void EndDialog(int result);
  int ModalResult() const { return result_; }

  // Finishing a window as its buttons do: what tests and keyboard use too.
  void accept() override { OnOK(); }
  void reject() override { OnCancel(); }

 protected:
  virtual void DoDataExchange(DataExchange& dx) = 0;
  virtual bool OnInitDialog();  // refreshes the controls
  virtual void OnOK();          // reads the fields, closes with IDOK
  virtual void OnCancel();      // closes with IDCANCEL

  bool InExchange() const { return exchangeDepth_ > 0; }

  // Connects a control's notification to a handler that is skipped while an
  // exchange is under way.
  template <typename Sender, typename Signal>
  void OnNotify(Sender* sender, Signal signal, std::function<void()> handler) {
    connect(sender, signal, this, [this, handler = std::move(handler)] {
      if (!InExchange()) handler();
    });
  }

 private:
  int exchangeDepth_ = 0;
  int result_ = IDCANCEL;
};

}  // namespace rux
