#pragma once

#include <QTableWidget>
#include <optional>
#include <vector>

namespace lanterna::ui {

// A two-column list whose cells carry their own text colour, background and icon; read only.
class CGridControl : public QTableWidget {
  Q_OBJECT

 public:
  explicit CGridControl(QWidget* parent = nullptr);

  // The icons cells refer to by index.
  void SetImageList(std::vector<QIcon> images) { m_images = std::move(images); }

  struct Cell {
    QString text;
    std::optional<QColor> textColor;
    std::optional<QColor> background;
    int image = -1;
  };
  void SetRowCount(int rows);
  void SetCell(int row, int column, const Cell& cell);
  // Columns fitted to their contents; the last one takes the rest of the width.
  void FitColumns();

 signals:
  // A right click on the grid, at this global position.
  void ContextMenuAt(const QPoint& globalPos);

 private:
  std::vector<QIcon> m_images;
};

}  // namespace lanterna::ui
