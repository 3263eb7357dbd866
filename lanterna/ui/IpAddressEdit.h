#pragma once

#include <QFrame>
#include <array>
#include <cstdint>

class QLineEdit;

namespace lanterna::ui {

// The IP address control: four fields of 0 to 255 between dots. An empty field counts as 0,
// so the control always holds an address. Typing a dot or a third digit moves to the next field.
class CIpAddressEdit : public QFrame {
  Q_OBJECT

 public:
  explicit CIpAddressEdit(QWidget* parent = nullptr);

  // a.b.c.d as a*2^24 + b*2^16 + c*2^8 + d.
  std::uint32_t Address() const;
  void SetAddress(std::uint32_t address);
  QString Text() const;
  QLineEdit* Field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }

 signals:
  // A field's value changed (by the user or by SetAddress).
  void FieldChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  std::array<QLineEdit*, 4> m_fields{};
};

}  // namespace lanterna::ui
