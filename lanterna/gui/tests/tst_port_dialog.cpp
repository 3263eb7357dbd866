// The port dialog on a real serial connection object, with the ports of a made-up sysfs.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "Communication/RS232Connection.h"
#include "GuiTest.h"
#include "gui/PortSettingsDlg.h"

using namespace lanterna;
using namespace lanterna::gui;
using namespace lanterna::gui::test;
namespace fs = std::filesystem;

namespace {

// A tty class folder whose ports are USB adapters of these names, in this order of creation.
fs::path MakeTtyClass(const fs::path& root, const std::vector<std::string>& names) {
  const fs::path tty = root / "class" / "tty";
  for (std::size_t i = 0; i < names.size(); ++i) {
    const fs::path device = root / "devices" / ("usb" + std::to_string(i));
    fs::create_directories(device);
    std::ofstream(device / "product") << "USB Serial\n";
    fs::create_directories(tty / names[i]);
    fs::create_directory_symlink(device, tty / names[i] / "device");
  }
  // A virtual console: no device behind it, not a port.
  fs::create_directories(tty / "tty1");
  return tty;
}

QStringList Entries(const QComboBox* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
  return entries;
}

}  // namespace

class TestPortDialog : public QObject {
  Q_OBJECT

  CTestEnvironment m_environment;

  fs::path Root(const char* name) {
    const fs::path root = m_environment.Path(name).toStdString();
    fs::remove_all(root);
    return root;
  }

 private slots:
  void listsThePortsAndShowsTheConnection() {
    const fs::path tty = MakeTtyClass(Root("list"), {"ttyUSB1", "ttyUSB0"});
    ORLA::CRS232Connection connection;
    connection.SetSettingsXML("<?xml version='1.0'?><RS232 device='ttyUSB1' baudrate='19200' timeout='750'/>");
    CPortSettingsDlg dialog(connection, nullptr, tty);
    auto* ports = Ctl<QComboBox>(&dialog, 1001);
    QCOMPARE(Entries(ports), (QStringList{"ttyUSB0: USB Serial (ttyUSB0)", "ttyUSB1: USB Serial (ttyUSB1)"}));
    QCOMPARE(ports->currentText(), QString("ttyUSB1: USB Serial (ttyUSB1)"));
    QCOMPARE(Ctl<QComboBox>(&dialog, 1002)->currentText(), QString("19200"));
    QCOMPARE(Ctl<QLineEdit>(&dialog, 1023)->text(), QString("750"));
    for (int id : {1002, 1004, 1006, 1005}) QVERIFY(!Ctl<QComboBox>(&dialog, id)->isEnabled());
    QCOMPARE(Entries(Ctl<QComboBox>(&dialog, 1004)), (QStringList{"None", "Odd", "Even", "Mark", "Space"}));
    QCOMPARE(Entries(Ctl<QComboBox>(&dialog, 1005)), (QStringList{"1", "1.5", "2"}));
  }

  // The list selects the first entry that begins with the connection's device.
  void theFirstEntryBeginningWithTheDeviceIsSelected_data() {
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("selected");
    QTest::newRow("COM10 listed before COM1 is not there") << QStringList{"COM10", "ttyS0"} << "COM10: USB Serial (COM10)";
    QTest::newRow("COM1 before COM10") << QStringList{"COM10", "COM1"} << "COM1: USB Serial (COM1)";
    QTest::newRow("no match") << QStringList{"ttyUSB0"} << "";
  }

  void theFirstEntryBeginningWithTheDeviceIsSelected() {
    QFETCH(QStringList, ports);
    QFETCH(QString, selected);
    std::vector<std::string> names;
    for (const QString& port : ports) names.push_back(port.toStdString());
    const fs::path tty = MakeTtyClass(Root(QTest::currentDataTag()), names);
    ORLA::CRS232Connection connection;
    connection.SetSettingsXML("<?xml version='1.0'?><RS232 device='COM1'/>");
    CPortSettingsDlg dialog(connection, nullptr, tty);
    QCOMPARE(Ctl<QComboBox>(&dialog, 1001)->currentText(), selected);
  }

  void aChangeGoesToTheConnectionAtOnceAndCancelTakesItBack() {
    const fs::path tty = MakeTtyClass(Root("cancel"), {"ttyUSB0", "ttyUSB1"});
    ORLA::CRS232Connection connection;
    connection.SetSettingsXML("<?xml version='1.0'?><RS232 device='ttyUSB0' timeout='750'/>");
    const std::string before = connection.GetSettingsXML();
    CPortSettingsDlg dialog(connection, nullptr, tty);
    auto* ports = Ctl<QComboBox>(&dialog, 1001);
    ports->setCurrentIndex(1);
    emit ports->activated(1);
    QCOMPARE(connection.GetSettingsValue("device"), std::string("ttyUSB1"));
    QCOMPARE(QString::fromStdString(dialog.ControlsDocument()),
             QString("<?xml version='1.0'?><RS232 device=\"ttyUSB1\" baudrate='%1' parity='%2' databits='%3' "
                     "stopbits='%4' timeout='750' />")
                 .arg(QString::fromStdString(connection.GetSettingsValue("baudrate")),
                      QString::fromStdString(connection.GetSettingsValue("parity")),
                      QString::fromStdString(connection.GetSettingsValue("databits")),
                      QString::fromStdString(connection.GetSettingsValue("stopbits"))));
    QTest::mouseClick(Ctl<QPushButton>(&dialog, 2), Qt::LeftButton);
    QCOMPARE(dialog.result(), int{QDialog::Rejected});
    QCOMPARE(connection.GetSettingsXML(), before);
  }

  void okTakesTheTimeoutAndDefaultShowsTheDefaults() {
    const fs::path tty = MakeTtyClass(Root("ok"), {"ttyUSB0"});
    ORLA::CRS232Connection connection;
    connection.SetSettingsXML("<?xml version='1.0'?><RS232 device='ttyUSB0' timeout='750'/>");
    CPortSettingsDlg dialog(connection, nullptr, tty);
    auto* timeout = Ctl<QLineEdit>(&dialog, 1023);
    timeout->clear();
    QTest::keyClicks(timeout, "12x34");
    QCOMPARE(timeout->text(), QString("1234"));
    QTest::mouseClick(Ctl<QPushButton>(&dialog, 1), Qt::LeftButton);
    QCOMPARE(dialog.result(), int{QDialog::Accepted});
    QCOMPARE(connection.GetSettingsValue("timeout"), std::string("1234"));

    CPortSettingsDlg again(connection, nullptr, tty);
    QTest::mouseClick(Ctl<QPushButton>(&again, 1007), Qt::LeftButton);
    ORLA::CRS232Connection fresh;
    QCOMPARE(connection.GetSettingsXML(), fresh.GetSettingsXML());
    QCOMPARE(Ctl<QLineEdit>(&again, 1023)->text().toStdString(), fresh.GetSettingsValue("timeout"));
  }
};

QTEST_MAIN(TestPortDialog)
#include "tst_port_dialog.moc"
