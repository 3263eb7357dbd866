#pragma once

#include <QWidget>
#include <vector>

class QStackedWidget;
class QTabBar;

namespace lanterna::gui {

class CCouplerSettingsPageBase;

// The property sheet as a child of the main dialog, in the placeholder's place: one row of tabs
// with scroll arrows over the active page. A page that refuses to be left keeps the sheet on
// it; a page that refuses to be activated cannot be selected.
class CPropSheetInDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CPropSheetInDlg(QWidget* parent = nullptr);

  bool HasPage(const CCouplerSettingsPageBase* page) const;
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CCouplerSettingsPageBase* GetPage(int index) const;
  int GetPageIndex(const CCouplerSettingsPageBase* page) const;
  int GetActiveIndex() const;
  CCouplerSettingsPageBase* GetActivePage() const;
  // Leaves the active page (it may refuse) and activates this one; false when either refused.
  bool SetActivePage(int index);
  bool SetActivePage(CCouplerSettingsPageBase* page) { return SetActivePage(GetPageIndex(page)); }
  // The device's pages in their order, after an identification: the page that was active is
  // left without its checks (its model holds new values), then the one at activeIndex (the
  // first when that one refuses) is activated.
  void ReplacePages(const std::vector<CCouplerSettingsPageBase*>& pages, int activeIndex);
  // While a device action runs the sheet neither redraws nor changes its page.
  void Freeze(bool frozen);

  QTabBar* TabBar() const { return m_tabs; }

 private:
  void OnTabChanged(int index);
  void ShowPage(int index);

  QTabBar* m_tabs;
  QStackedWidget* m_stack;
  std::vector<CCouplerSettingsPageBase*> m_pages;
  CCouplerSettingsPageBase* m_active = nullptr;
  bool m_bSwitching = false;
  bool m_bFrozen = false;
};

}  // namespace lanterna::gui
