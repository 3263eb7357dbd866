#pragma once

#include <QTimer>
#include <QWidget>

namespace lanterna::ui {

// A ring of dots that turns while a device action runs and stands still, faded, otherwise.
class CBusyIndicator : public QWidget {
  Q_OBJECT

 public:
  explicit CBusyIndicator(QWidget* parent = nullptr);

  void Start();
  void Stop();
  bool IsRunning() const { return m_timer.isActive(); }

  QSize sizeHint() const override { return {28, 28}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer m_timer;
  int m_nStep = 0;
};

}  // namespace lanterna::ui
