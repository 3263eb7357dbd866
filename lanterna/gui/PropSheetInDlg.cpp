#include "gui/PropSheetInDlg.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/PageBase.h"

namespace lanterna::gui {

CPropSheetInDlg::CPropSheetInDlg(QWidget* parent) : QWidget(parent) {
  setObjectName("sheet");
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName("sheetTabs");
  m_tabs->setUsesScrollButtons(true);
  m_tabs->setExpanding(false);
  m_tabs->setElideMode(Qt::ElideNone);
  m_tabs->setDrawBase(false);
  m_stack = new QStackedWidget(this);
  m_stack->setObjectName("sheetPages");
  m_stack->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_tabs);
  layout->addWidget(m_stack, 1);
  connect(m_tabs, &QTabBar::currentChanged, this, &CPropSheetInDlg::OnTabChanged);
}

bool CPropSheetInDlg::HasPage(const CCouplerSettingsPageBase* page) const { return GetPageIndex(page) >= 0; }

CCouplerSettingsPageBase* CPropSheetInDlg::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int CPropSheetInDlg::GetPageIndex(const CCouplerSettingsPageBase* page) const {
  const auto found = std::find(m_pages.begin(), m_pages.end(), page);
  return found == m_pages.end() ? -1 : static_cast<int>(found - m_pages.begin());
}

int CPropSheetInDlg::GetActiveIndex() const { return GetPageIndex(m_active); }

CCouplerSettingsPageBase* CPropSheetInDlg::GetActivePage() const { return m_active; }

bool CPropSheetInDlg::SetActivePage(int index) {
  CCouplerSettingsPageBase* page = GetPage(index);
  if (!page || m_bFrozen) return false;
  if (page == m_active) return true;
  if (m_active && !m_active->OnKillActive()) return false;
  CCouplerSettingsPageBase* previous = m_active;
  if (!page->OnSetActive()) {
    if (previous) previous->OnSetActive();
    return false;
  }
  m_active = page;
  m_stack->setCurrentWidget(page);
  const QSignalBlocker blocker(m_tabs);
  m_tabs->setCurrentIndex(index);
  return true;
}

void CPropSheetInDlg::ReplacePages(const std::vector<CCouplerSettingsPageBase*>& pages, int activeIndex) {
  if (m_active) m_active->Deactivate();
  m_active = nullptr;
  // The same pages again (after a write, a restart): the tabs stay as they are.
  if (pages != m_pages) {
    const QSignalBlocker blocker(m_tabs);
    while (m_tabs->count() > 0) m_tabs->removeTab(0);
    for (CCouplerSettingsPageBase* page : m_pages) m_stack->removeWidget(page);
    m_pages.clear();
    for (CCouplerSettingsPageBase* page : pages) {
      if (HasPage(page)) continue;
      m_pages.push_back(page);
      m_stack->addWidget(page);
      m_tabs->addTab(page->TabTitle());
    }
  }
  if (m_pages.empty()) return;
  const int index = activeIndex >= 0 && activeIndex < GetPageCount() ? activeIndex : 0;
  ShowPage(index);
  if (!m_active->IsActive() && index != 0) ShowPage(0);
  const QSignalBlocker blocker(m_tabs);
  m_tabs->setCurrentIndex(GetActiveIndex());
}

void CPropSheetInDlg::Freeze(bool frozen) {
  m_bFrozen = frozen;
  if (frozen) repaint();
  setUpdatesEnabled(!frozen);
  if (!frozen) update();
}

void CPropSheetInDlg::OnTabChanged(int index) {
  if (m_bSwitching) return;
  m_bSwitching = true;
  if (!SetActivePage(index)) m_tabs->setCurrentIndex(GetActiveIndex());
  m_bSwitching = false;
}

void CPropSheetInDlg::ShowPage(int index) {
  CCouplerSettingsPageBase* page = GetPage(index);
  if (!page) return;
  m_active = page;
  m_stack->setCurrentWidget(page);
  page->OnSetActive();
}

}  // namespace lanterna::gui
