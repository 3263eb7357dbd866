#include "ui/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace lanterna::ui {

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(0);
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString("field%1").arg(i));
    field->setFrame(false);
    field->setAlignment(Qt::AlignCenter);
    field->setMaxLength(3);
    // An integer validator would let "300" stand as unfinished input.
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9]"), field));
    field->setFixedWidth(field->fontMetrics().horizontalAdvance("0000") + 6);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) {
      if (text.size() == 3 && i + 1 < m_fields.size()) {
        m_fields[i + 1]->setFocus();
        m_fields[i + 1]->selectAll();
      }
      emit FieldChanged();
    });
    m_fields[i] = field;
    layout->addWidget(field);
    if (i + 1 < m_fields.size()) layout->addWidget(new QLabel(".", this));
  }
  setFocusProxy(m_fields[0]);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

std::uint32_t CIpAddressEdit::Address() const {
  std::uint32_t address = 0;
  for (const QLineEdit* field : m_fields) address = (address << 8) | static_cast<std::uint32_t>(field->text().toUInt() & 0xFF);
  return address;
}

void CIpAddressEdit::SetAddress(std::uint32_t address) {
  if (address == Address() && !m_fields[0]->text().isEmpty()) return;
  for (std::size_t i = 0; i < m_fields.size(); ++i)
    m_fields[i]->setText(QString::number((address >> (8 * (3 - i))) & 0xFF));
  emit FieldChanged();
}

QString CIpAddressEdit::Text() const {
  QStringList parts;
  for (const QLineEdit* field : m_fields) parts << QString::number(field->text().toUInt());
  return parts.join('.');
}

bool CIpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    for (std::size_t i = 0; i + 1 < m_fields.size(); ++i) {
      if (watched != m_fields[i] || (key->text() != "." && key->text() != ",")) continue;
      m_fields[i + 1]->setFocus();
      m_fields[i + 1]->selectAll();
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

void CIpAddressEdit::changeEvent(QEvent* event) {
  // Disabled, the control reads like a disabled edit field.
  if (event->type() == QEvent::EnabledChange) setBackgroundRole(isEnabled() ? QPalette::Base : QPalette::Window);
  QFrame::changeEvent(event);
}

}  // namespace lanterna::ui
