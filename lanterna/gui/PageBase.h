#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "gui/PageHost.h"
#include "pages/CouplerSettingsPageModel.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace lanterna::ui {
class CIpAddressEdit;
}

namespace lanterna::gui {

// Set while the main dialog builds its sheet: pages then neither touch their controls nor notify.
extern bool g_bPagesSettingUp;

// A settings page: a widget over its parameter model. Its controls are bound to the model's
// parameters by key and named "ctl<id>" by the ids the program gives them; the model holds the
// values, the ranges and the checks, the page shows them and reports edits to the dialog.
class CCouplerSettingsPageBase : public QWidget {
  Q_OBJECT

 public:
  CCouplerSettingsPageBase(CCouplerSettingsPageModel& model, QString tabTitle, IPageHost& host,
                           QWidget* parent = nullptr);

  CCouplerSettingsPageModel& Model() { return m_model; }
  const std::string& GetSection() const { return m_model.GetSection(); }
  const QString& TabTitle() const { return m_strTabTitle; }
  bool IsActive() const { return m_bActive; }
  bool IsInteractive() const { return m_bInteractive; }

  // The sheet's activation: false when the page is not used (it cannot be selected).
  virtual bool OnSetActive();
  // False while a value fails its check: the sheet stays on the page.
  virtual bool OnKillActive();
  // Left without its checks, when the dialog replaces the sheet's pages.
  void Deactivate() { m_bActive = false; }

  bool UpdateControls();
  bool UpdateSettings();
  // Shows the first failing check as a balloon at its control.
  virtual bool ValidateSettings();
  void NotifySettingsChanged(int flag);
  int IsSettingsModified() { return m_host.IsModified(); }
  virtual void ShowState(int state, const QString& text);
  virtual void SetInteractive(bool interactive) { m_bInteractive = interactive; }

  // The control with this id on this page.
  QWidget* Control(int id) const;

 protected:
  virtual void ShowControls(int nCmdShow);
  virtual void EnableControls(bool enable);
  virtual bool SettingsToControls();
  virtual bool ControlsToSettings();

  // Controls bound to the model's parameters; the label follows the control's state.
  QLineEdit* AddNumberEdit(const char* key, int id, QLabel* label = nullptr);
  QLineEdit* AddTextEdit(const char* key, int id, QLabel* label = nullptr);
  QCheckBox* AddCheckBox(const char* key, int id, const QString& caption);
  QComboBox* AddComboBox(const char* key, int id, QLabel* label = nullptr);
  ui::CIpAddressEdit* AddAddressEdit(const char* key, int id, QLabel* label = nullptr);
  QLabel* AddLabel(const QString& text, int id = 0);
  // The bound control of a parameter.
  QWidget* ControlOf(std::string_view key) const;
  CPageParameter& Parameter(std::string_view key) const;

  // One row of a form: the label, then the field at its natural width.
  static void AddFieldRow(QGridLayout* grid, int row, QWidget* label, QWidget* field);
  // A tooltip of a title over a marked-up text.
  static void AddToolTip(QWidget* control, const QString& title, const QString& body);
  // The range check of one field while the user types: the balloon when it fails.
  bool ValidateEdit(QLineEdit* edit, CPageParameter& parameter);
  // The generic handler of check boxes, radio buttons and lists.
  void OnGenericChange();
  void ShowFailure(const ValidationFailure& failure);

  IPageHost& Host() { return m_host; }
  bool m_bUpdating = false;

 private:
  struct Binding {
    CPageParameter* parameter;
    QWidget* control;
    QLabel* label;
  };
  template <class Control>
  Control* Bind(const char* key, int id, QLabel* label);
  void ControlToParameter(const Binding& binding);
  void ParameterToControl(const Binding& binding);

  CCouplerSettingsPageModel& m_model;
  QString m_strTabTitle;
  IPageHost& m_host;
  std::vector<Binding> m_bindings;
  bool m_bActive = false;
  bool m_bInteractive = true;
};

// The object name of a control with this id: "ctl1039".
QString ControlName(int id);

}  // namespace lanterna::gui
