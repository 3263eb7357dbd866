#include "ui/GridControl.h"

#include <QHeaderView>

namespace lanterna::ui {

CGridControl::CGridControl(QWidget* parent) : QTableWidget(0, 2, parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setFocusPolicy(Qt::NoFocus);
  setShowGrid(false);
  setWordWrap(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  horizontalHeader()->setStretchLastSection(true);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { emit ContextMenuAt(viewport()->mapToGlobal(pos)); });
}

void CGridControl::SetRowCount(int rows) {
  clearContents();
  setRowCount(rows);
}

void CGridControl::SetCell(int row, int column, const Cell& cell) {
  auto* item = new QTableWidgetItem(cell.text);
  if (cell.textColor) item->setForeground(*cell.textColor);
  if (cell.background) item->setBackground(*cell.background);
  if (cell.image >= 0 && static_cast<std::size_t>(cell.image) < m_images.size())
    item->setIcon(m_images[static_cast<std::size_t>(cell.image)]);
  setItem(row, column, item);
}

void CGridControl::FitColumns() {
  resizeColumnToContents(0);
  viewport()->update();
}

}  // namespace lanterna::ui
