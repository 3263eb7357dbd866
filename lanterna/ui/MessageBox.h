#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QPushButton;

namespace lanterna::ui {

// Windows button ids, the results of a message box.
enum ButtonId : int { kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7,
                      kIdHelp = 9, kIdContinue = 11 };
// Windows message-box styles: the buttons in the low bits, the default button above.
inline constexpr unsigned kStyleOk = 0;
inline constexpr unsigned kStyleOkCancel = 1;
inline constexpr unsigned kStyleYesNo = 4;
inline constexpr unsigned kDefaultButton2 = 0x100;

// The program's message box: its own button texts, an icon by id (0: the default 311), the
// program's title when the caption is empty. Closing the window answers Cancel where there is
// a Cancel button, OK for an OK-only box; a Yes/No box cannot be closed that way.
class CMessageBox : public QDialog {
  Q_OBJECT

 public:
  CMessageBox(const QString& text, int iconId, unsigned style, const QString& caption, QWidget* owner);

  // The Windows id of the button that ended the box.
  int ButtonResult() const { return m_nResult; }
  QPushButton* Button(int buttonId) const;
  QString Text() const;

 protected:
  void reject() override;

 private:
  void AddButton(int buttonId, const char* text);

  std::vector<std::pair<int, QPushButton*>> m_buttons;
  int m_nCloseResult = 0;
  int m_nResult = 0;
  QLabel* m_text;
};

// Shows the box modally and returns the Windows id of the chosen button.
int ShowMessage(const QString& text, int iconId = 0, unsigned style = kStyleOk, const QString& caption = {},
                QWidget* owner = nullptr);

// The seam for tests, as the file dialogs have theirs: once intercepted, every box is answered
// without being shown, by the queued answers and then by its default button, and kept.
struct ShownMessage {
  QString text;
  int iconId;
  unsigned style;
  QString caption;
};
namespace message_seam {
void Intercept();
void QueueAnswer(int buttonId);
std::vector<ShownMessage> Shown();
void Clear();
}  // namespace message_seam

}  // namespace lanterna::ui
