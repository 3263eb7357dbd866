#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QPainterPath;
class QToolButton;

namespace lanterna::ui {

// The warning balloon a page shows at an edit field: warning icon, title, text and a close
// button, no time-out. It closes on any mouse button or wheel (which keep their effect) and on
// any key but Shift, Ctrl and Alt; Esc, Return, Tab, the arrows and F1 to F24 only close it.
// One balloon at a time.
class CBalloon : public QFrame {
  Q_OBJECT

 public:
  // Shows the balloon at the anchor (replacing one that is open) unless the user's store says
  // "EnableBalloonTips" = 0. Returns the balloon shown, or nullptr.
  static CBalloon* ShowAt(QWidget* anchor, const QString& title, const QString& text);
  static CBalloon* Current();
  static void CloseCurrent();
  // The user's setting; missing counts as enabled.
  static bool Enabled();

  QString Title() const;
  QString Text() const;
  QWidget* Anchor() const { return m_anchor; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  CBalloon(QWidget* anchor, const QString& title, const QString& text);
  void Place();
  QPainterPath Outline() const;

  QPointer<QWidget> m_anchor;
  QLabel* m_title;
  QLabel* m_text;
  QToolButton* m_close;
};

}  // namespace lanterna::ui
