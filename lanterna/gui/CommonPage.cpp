#include "gui/CommonPage.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "gui/TextFileSave.h"
#include "ui/Colors.h"
#include "ui/GridControl.h"
#include "ui/Icons.h"
#include "ui/MenuCommand.h"

namespace lanterna::gui {

namespace {

constexpr std::uint32_t kErrorText = 0x0000FF;        // red
constexpr std::uint32_t kErrorBackground = 0xE0FFFF;  // light yellow
constexpr int kImageError = 3;

// The menu's Refresh is the Read button's command.
constexpr int kCommandRefresh = 1012;

}  // namespace

CCommonPage::CCommonPage(CCommonPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "Common", host, parent), m_common(model) {
  m_grid = new ui::CGridControl(this);
  m_grid->setObjectName(ControlName(1127));
  // The image list: index 1 in progress, 3 failed.
  m_grid->SetImageList({QIcon(), ui::ResourceIcon(ui::kIconGridBusy), QIcon(), ui::ResourceIcon(ui::kIconGridError)});
  m_grid->hide();
  m_picture = new QLabel(this);
  m_picture->setObjectName(ControlName(1168));
  m_picture->setPixmap(ui::ResourceIcon(ui::kIconDevice).pixmap(QSize(240, 180)));
  m_picture->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_grid, 1);
  layout->addWidget(m_picture, 1);
  connect(m_grid, &ui::CGridControl::ContextMenuAt, this, [this](const QPoint& at) {
    if (QMenu* menu = MakeContextMenu()) {
      menu->exec(at);
      menu->deleteLater();
    }
  });
}

void CCommonPage::ShowGrid() {
  m_picture->hide();
  m_grid->show();
}

void CCommonPage::ShowState(int state, const QString& text) {
  m_common.ShowState(state, text.toStdString());
  ShowGrid();
  const std::optional<CCommonPageModel::StateLine>& line = m_common.State();
  if (!line) {
    ShowRows();
    return;
  }
  QFont font("Arial");
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  m_grid->setFont(font);
  m_grid->SetRowCount(1);
  m_grid->SetCell(0, 0, {QString(), std::nullopt, QColor(Qt::white), line->image});
  m_grid->SetCell(0, 1,
                  {QString::fromStdString(line->text),
                   line->red ? std::optional<QColor>(ui::ColorFromRgbWord(kErrorText)) : std::nullopt,
                   QColor(Qt::white), -1});
  m_grid->FitColumns();
}

void CCommonPage::ShowRows() {
  m_grid->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const auto& rows = m_common.Rows();
  m_grid->SetRowCount(static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& row = rows[i];
    const int r = static_cast<int>(i);
    m_grid->SetCell(r, 0, {QString::fromStdString(row.label), std::nullopt, std::nullopt, -1});
    if (row.error)
      m_grid->SetCell(r, 1, {QString::fromStdString(row.value), ui::ColorFromRgbWord(kErrorText),
                             ui::ColorFromRgbWord(kErrorBackground), kImageError});
    else
      m_grid->SetCell(r, 1, {QString::fromStdString(row.value), std::nullopt, std::nullopt, -1});
  }
  m_grid->FitColumns();
}

bool CCommonPage::SettingsToControls() {
  if (!m_common.Rows().empty() && !m_common.State()) {
    ShowGrid();
    ShowRows();
  }
  return true;
}

QMenu* CCommonPage::MakeContextMenu() {
  if (!m_common.OffersContextMenu()) return nullptr;
  auto* menu = new QMenu(this);
  menu->setObjectName("commonMenu");
  connect(ui::AddMenuCommand(*menu, "&Refresh", kCommandRefresh), &QAction::triggered, this,
          [this] { Host().RequestRead(); });
  menu->addSeparator();
  connect(ui::AddMenuCommand(*menu, "&Copy", ui::kCommandCopy), &QAction::triggered, this, [this] { CopyToClipboard(); });
  ui::AddMenuCommand(*menu, "&Paste", ui::kCommandPaste, false);
  ui::AddMenuCommand(*menu, "&Delete", ui::kCommandDelete, false);
  menu->addSeparator();
  connect(ui::AddMenuCommand(*menu, "&Save", ui::kCommandSave), &QAction::triggered, this, [this] { Save(); });
  return menu;
}

void CCommonPage::CopyToClipboard() {
  QApplication::clipboard()->setText(QString::fromStdString(m_common.ExportText()));
}

void CCommonPage::Save() { SaveTextFile(this, m_common.ExportText()); }

}  // namespace lanterna::gui
