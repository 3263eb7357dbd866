#include "ui/BusyIndicator.h"

#include <QPainter>

namespace lanterna::ui {

namespace {
constexpr int kDots = 8;
constexpr int kStepMilliseconds = 100;
}  // namespace

CBusyIndicator::CBusyIndicator(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
  connect(&m_timer, &QTimer::timeout, this, [this] {
    m_nStep = (m_nStep + 1) % kDots;
    update();
  });
}

void CBusyIndicator::Start() {
  if (!m_timer.isActive()) m_timer.start(kStepMilliseconds);
  update();
}

void CBusyIndicator::Stop() {
  m_timer.stop();
  update();
}

void CBusyIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(width() / 2.0, height() / 2.0);
  const double radius = std::min(width(), height()) / 2.0 - 4;
  QColor color = palette().color(QPalette::Highlight);
  for (int i = 0; i < kDots; ++i) {
    const int age = (m_nStep - i + kDots) % kDots;
    color.setAlphaF(IsRunning() ? 1.0 - age * 0.11 : 0.18);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.save();
    painter.rotate(360.0 * i / kDots);
    painter.drawEllipse(QPointF(0, -radius), 2.6, 2.6);
    painter.restore();
  }
}

}  // namespace lanterna::ui
