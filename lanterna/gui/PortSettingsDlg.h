#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

#include "Communication/ConnectionBase.h"

class QComboBox;
class QLineEdit;

namespace lanterna::gui {

// "COM-Port Settings": the port and the time-out of the connection. Every change goes to the
// connection at once; Cancel gives it back the settings it had when the dialog opened.
class CPortSettingsDlg : public QDialog {
  Q_OBJECT

 public:
  // The ports come from the tty class of sysfs below ttyClass.
  CPortSettingsDlg(ORLA::CConnectionBase& connection, QWidget* parent = nullptr,
                   const std::filesystem::path& ttyClass = "/sys/class/tty");

  // The settings document the controls make.
  std::string ControlsDocument() const;

 public slots:
  void accept() override;
  void reject() override;

 private:
  void ShowSettings();
  void ApplyControls();
  void OnDefault();

  ORLA::CConnectionBase& m_connection;
  std::string m_strKeptSettings;
  QComboBox* m_port;
  QComboBox* m_baudrate;
  QComboBox* m_parity;
  QComboBox* m_bytesize;
  QComboBox* m_stopbits;
  QLineEdit* m_timeout;
};

}  // namespace lanterna::gui
