#include "ui/Balloon.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolButton>

#include "Common/RegistyEx.h"
#include "ui/Icons.h"

namespace lanterna::ui {

namespace {

constexpr const char* kExplorerKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr int kArrowHeight = 10;
constexpr int kMaxTextWidth = 320;

QPointer<CBalloon>& CurrentBalloon() {
  static QPointer<CBalloon> balloon;
  return balloon;
}

// Keys that only close the balloon; every other key closes it and keeps its effect.
bool OnlyCloses(int key) {
  switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      return true;
    default:
      return key >= Qt::Key_F1 && key <= Qt::Key_F24;
  }
}

bool IsModifier(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
         key == Qt::Key_AltGr;
}

}  // namespace

bool CBalloon::Enabled() {
  return cutils::CRegistryEx(kExplorerKey).ReadDWord("Advanced", "EnableBalloonTips", 1) != 0;
}

CBalloon* CBalloon::ShowAt(QWidget* anchor, const QString& title, const QString& text) {
  CloseCurrent();
  if (!anchor || !Enabled()) return nullptr;
  auto* balloon = new CBalloon(anchor, title, text);
  CurrentBalloon() = balloon;
  balloon->Place();
  balloon->show();
  qApp->installEventFilter(balloon);
  return balloon;
}

CBalloon* CBalloon::Current() { return CurrentBalloon().data(); }

void CBalloon::CloseCurrent() {
  if (CBalloon* balloon = CurrentBalloon().data()) {
    qApp->removeEventFilter(balloon);
    balloon->hide();
    balloon->deleteLater();
  }
  CurrentBalloon() = nullptr;
}

CBalloon::CBalloon(QWidget* anchor, const QString& title, const QString& text)
    : QFrame(anchor->window(), Qt::ToolTip | Qt::FramelessWindowHint), m_anchor(anchor) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setObjectName("balloon");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(10, 8 + kArrowHeight, 8, 10);
  layout->setHorizontalSpacing(8);
  auto* icon = new QLabel(this);
  icon->setPixmap(ResourceIcon(kIconWarning).pixmap(24, 24));
  icon->setAlignment(Qt::AlignTop);
  m_title = new QLabel(title, this);
  m_title->setObjectName("balloonTitle");
  QFont bold = m_title->font();
  bold.setBold(true);
  m_title->setFont(bold);
  m_text = new QLabel(text, this);
  m_text->setObjectName("balloonText");
  m_text->setWordWrap(true);
  // Word wrap alone would make the label as narrow as its longest word.
  m_text->setMinimumWidth(std::min(m_text->fontMetrics().horizontalAdvance(text) + 4, kMaxTextWidth));
  m_text->setMaximumWidth(kMaxTextWidth);
  m_close = new QToolButton(this);
  m_close->setObjectName("balloonClose");
  m_close->setText(QString::fromUtf8("\u2715"));
  m_close->setAutoRaise(true);
  connect(m_close, &QToolButton::clicked, this, [] { CloseCurrent(); });
  layout->addWidget(icon, 0, 0, 2, 1);
  layout->addWidget(m_title, 0, 1);
  layout->addWidget(m_close, 0, 2, Qt::AlignTop);
  layout->addWidget(m_text, 1, 1, 1, 2);
}

QString CBalloon::Title() const { return m_title->text(); }
QString CBalloon::Text() const { return m_text->text(); }

void CBalloon::Place() {
  adjustSize();
  const QPoint bottom = m_anchor->mapToGlobal(QPoint(std::min(m_anchor->width() / 2, 24), m_anchor->height()));
  move(bottom.x() - 24, bottom.y());
}

QPainterPath CBalloon::Outline() const {
  const QRectF body = QRectF(rect()).adjusted(0.5, kArrowHeight + 0.5, -0.5, -0.5);
  QPainterPath path;
  path.addRoundedRect(body, 6, 6);
  QPainterPath arrow;
  arrow.moveTo(18, kArrowHeight + 1);
  arrow.lineTo(24, 0.5);
  arrow.lineTo(34, kArrowHeight + 1);
  arrow.closeSubpath();
  return path.united(arrow);
}

void CBalloon::resizeEvent(QResizeEvent* event) {
  // A mask, not a translucent window: displays without a compositor show the corners black.
  setMask(QRegion(Outline().toFillPolygon().toPolygon()));
  QFrame::resizeEvent(event);
}

void CBalloon::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(palette().color(QPalette::Dark));
  painter.setBrush(palette().color(QPalette::ToolTipBase));
  painter.drawPath(Outline());
}

bool CBalloon::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::Wheel:
      CloseCurrent();
      return false;
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (IsModifier(key)) return false;
      CloseCurrent();
      return OnlyCloses(key);
    }
    default:
      return QFrame::eventFilter(watched, event);
  }
}

}  // namespace lanterna::ui
