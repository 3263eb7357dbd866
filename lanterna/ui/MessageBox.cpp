#include "ui/MessageBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <deque>

#include "ui/Icons.h"

namespace lanterna::ui {

namespace {

constexpr const char* kAppTitle = "ORLA Lanterna";

struct Seam {
  bool intercepting = false;
  std::deque<int> answers;
  std::vector<ShownMessage> shown;
};

Seam& TheSeam() {
  static Seam seam;
  return seam;
}

int DefaultAnswer(unsigned style) {
  switch (style & 0x0F) {
    case kStyleYesNo:
      return (style & kDefaultButton2) ? kIdNo : kIdYes;
    case kStyleOkCancel:
      return (style & kDefaultButton2) ? kIdCancel : kIdOk;
    default:
      return kIdOk;
  }
}

}  // namespace

CMessageBox::CMessageBox(const QString& text, int iconId, unsigned style, const QString& caption, QWidget* owner)
    : QDialog(owner) {
  setWindowTitle(caption.isEmpty() ? QString(kAppTitle) : caption);
  setObjectName("messageBox");
  setModal(true);
  auto* icon = new QLabel(this);
  icon->setPixmap(ResourceIcon(iconId == 0 ? kIconMessage : iconId).pixmap(40, 40));
  icon->setAlignment(Qt::AlignTop);
  m_text = new QLabel(text, this);
  m_text->setObjectName("messageText");
  m_text->setTextFormat(Qt::PlainText);
  m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addSpacing(12);
  row->addWidget(m_text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addSpacing(12);
  layout->addLayout(buttons);

  // The program's own button texts (strings 9001 to 9009).
  switch (style & 0x0F) {
    case kStyleYesNo:
      AddButton(kIdYes, "Yes");
      AddButton(kIdNo, "No");
      break;
    case kStyleOkCancel:
      AddButton(kIdOk, "OK");
      AddButton(kIdCancel, "Cancel");
      m_nCloseResult = kIdCancel;
      break;
    default:
      AddButton(kIdOk, "OK");
      m_nCloseResult = kIdOk;
      break;
  }
  for (auto& [id, button] : m_buttons) buttons->addWidget(button);
  if (QPushButton* preferred = Button(DefaultAnswer(style))) {
    preferred->setDefault(true);
    preferred->setFocus();
  }
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CMessageBox::AddButton(int buttonId, const char* text) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(QString("button%1").arg(buttonId));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, buttonId] {
    m_nResult = buttonId;
    done(buttonId);
  });
  m_buttons.emplace_back(buttonId, button);
}

QPushButton* CMessageBox::Button(int buttonId) const {
  for (const auto& [id, button] : m_buttons)
    if (id == buttonId) return button;
  return nullptr;
}

QString CMessageBox::Text() const { return m_text->text(); }

void CMessageBox::reject() {
  // A Yes/No box has no Cancel: Esc and the window's close do nothing.
  if (m_nCloseResult == 0) return;
  m_nResult = m_nCloseResult;
  done(m_nCloseResult);
}

int ShowMessage(const QString& text, int iconId, unsigned style, const QString& caption, QWidget* owner) {
  Seam& seam = TheSeam();
  if (seam.intercepting) {
    seam.shown.push_back({text, iconId, style, caption});
    if (seam.answers.empty()) return DefaultAnswer(style);
    const int answer = seam.answers.front();
    seam.answers.pop_front();
    return answer;
  }
  CMessageBox box(text, iconId, style, caption, owner ? owner : QApplication::activeWindow());
  box.exec();
  return box.ButtonResult();
}

namespace message_seam {
void Intercept() { TheSeam().intercepting = true; }
void QueueAnswer(int buttonId) { TheSeam().answers.push_back(buttonId); }
std::vector<ShownMessage> Shown() { return TheSeam().shown; }
void Clear() {
  TheSeam().shown.clear();
  TheSeam().answers.clear();
}
}  // namespace message_seam

}  // namespace lanterna::ui
