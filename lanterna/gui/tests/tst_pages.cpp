// The settings pages over their models, on images made here: layouts, enabling, the checks
// while typing and the page-to-dialog calls.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "GuiTest.h"
#include "gui/Browser.h"
#include "gui/CommonPage.h"
#include "gui/EthernetIPPage.h"
#include "gui/ModbusPage.h"
#include "gui/NetworkPage.h"
#include "gui/ProtocolPage.h"
#include "gui/PropSheetInDlg.h"
#include "gui/PFCPage.h"
#include "gui/TCPIPPage.h"
#include "gui/TransmissionPage.h"
#include "ui/Balloon.h"
#include "ui/FileDialog.h"
#include "ui/GridControl.h"
#include "ui/IpAddressEdit.h"

using namespace lanterna;
using namespace lanterna::gui;
using namespace lanterna::gui::test;

namespace {

// The dialog's side of the page messages, counted.
struct CountingHost : IPageHost {
  void SettingsChanged(int flag) override {
    ++changed;
    modified = flag;
  }
  int IsModified() override { return modified; }
  void RequestWrite() override { ++writes; }
  void RequestRead() override { ++reads; }
  int changed = 0, modified = 0, writes = 0, reads = 0;
};

// Models loaded from images made here, as the dialog loads them after a read.
struct LoadedModels {
  LoadedModels(bool is32, bool isPFC, std::string orderNumber = "716-861", std::uint16_t switches = 0x0200)
      : ini(Ini()), models(ini) {
    identification.orderNumber = std::move(orderNumber);
    identification.description = "ETHERNET PFC";
    identification.serialNumber = "ERR: Service not supported!";
    identification.ipAddress = "10.0.0.5";
    identification.subnetMask = "255.0.0.0";
    identification.gateway = "10.0.0.1";
    table0.assign(32, 0);
    table100.assign(is32 ? 80 : 8, 0);
    if (is32) {
      table100[0] = switches;  // 0x0200: BootP
      table100[9] = 0xA8C0;   // 192.168.1.111
      table100[10] = 0x6F01;
      table100[70] = 30;
      table100[71] = 1;
    }
    models.Load(identification, {{"COMMON", "TCPIP", "MODBUS", "PROTOCOL", "TRAFFIC", "ETHERNETIP", "PFC"}, is32, isPFC},
                table0, table100);
  }
  static CIniFile Ini() {
    CIniFile ini;
    ini.LoadFromText(kTestIni);
    return ini;
  }

  CIniFile ini;  // the models keep a reference
  tIdentification identification;
  std::vector<std::uint16_t> table0, table100;
  CSettingsPages models;
};

template <class Page, class Model>
std::unique_ptr<Page> ShownPage(Model& model, IPageHost& host) {
  auto page = std::make_unique<Page>(model, host);
  g_bPagesSettingUp = false;
  page->show();
  page->activateWindow();
  page->OnSetActive();
  return page;
}

}  // namespace

class TestPages : public QObject {
  Q_OBJECT

  CTestEnvironment m_environment;

 private slots:
  void init() { ui::message_seam::Clear(); }
  void cleanup() { ui::CBalloon::CloseCurrent(); }

  void fillingTheControlsNotifiesNothingAndAnEditNotifiesOnce() {
    LoadedModels loaded(true, true);
    CountingHost host;
    auto page = ShownPage<CTransmissionPage>(loaded.models.Transmission(), host);
    page->UpdateControls();
    QCOMPARE(host.changed, 0);
    auto* time = Ctl<QLineEdit>(page.get(), 1106);
    QCOMPARE(time->text(), QString("30"));
    time->setText("45");
    QCOMPARE(host.changed, 1);
    QCOMPARE(host.modified, 1);
  }

  void tcpipHasTwoLayouts() {
    LoadedModels full(true, true);
    CountingHost host;
    auto page = ShownPage<CTCPIPPage>(full.models.TCPIP(), host);
    QVERIFY(Ctl<QRadioButton>(page.get(), 1036)->isChecked());
    QVERIFY(Ctl<QComboBox>(page.get(), 1034)->isVisible());
    QVERIFY(!Ctl<QCheckBox>(page.get(), 1030)->isVisible());
    // Auto-IP is offered for this device's section.
    QCOMPARE(Ctl<QComboBox>(page.get(), 1034)->count(), 3);
    QCOMPARE(Ctl<QComboBox>(page.get(), 1034)->currentText(), QString("BootP-Server"));
    QVERIFY(!Ctl<ui::CIpAddressEdit>(page.get(), 1039)->isEnabled());
    QCOMPARE(Ctl<ui::CIpAddressEdit>(page.get(), 1039)->Text(), QString("192.168.1.111"));

    // Fixed addresses: the fields open, the server list closes.
    QTest::mouseClick(Ctl<QRadioButton>(page.get(), 1058), Qt::LeftButton);
    QVERIFY(Ctl<ui::CIpAddressEdit>(page.get(), 1039)->isEnabled());
    QVERIFY(!Ctl<QComboBox>(page.get(), 1034)->isEnabled());
    QVERIFY(Ctl<QPushButton>(page.get(), 1137)->isEnabled());
    QCOMPARE(host.changed, 1);

    LoadedModels reduced(false, false, "716-312");
    auto older = ShownPage<CTCPIPPage>(reduced.models.TCPIP(), host);
    QVERIFY(Ctl<QCheckBox>(older.get(), 1030)->isVisible());
    for (int id : {1036, 1058, 1034, 1043, 1044}) QVERIFY(!Ctl<QWidget>(older.get(), id)->isVisible());
    // The identification's addresses, read only.
    QCOMPARE(Ctl<ui::CIpAddressEdit>(older.get(), 1039)->Text(), QString("10.0.0.5"));
    QVERIFY(!Ctl<ui::CIpAddressEdit>(older.get(), 1039)->isEnabled());
  }

  void automaticAddressesWithoutAServerAreRefused() {
    LoadedModels loaded(true, true, "716-861", 0);
    CountingHost host;
    auto page = ShownPage<CTCPIPPage>(loaded.models.TCPIP(), host);
    QVERIFY(Ctl<QRadioButton>(page.get(), 1058)->isChecked());
    QTest::mouseClick(Ctl<QRadioButton>(page.get(), 1036), Qt::LeftButton);
    ui::CBalloon* balloon = ui::CBalloon::Current();
    QVERIFY(balloon);
    QCOMPARE(balloon->Title(), QString("IP-Address Server"));
    QCOMPARE(balloon->Text(), QString("Please select how the device should get an IP address!"));
    QVERIFY(!page->OnKillActive());
  }

  void callWbmAsksToWriteFirst() {
    LoadedModels loaded(true, true);
    CountingHost host;
    auto page = ShownPage<CTCPIPPage>(loaded.models.TCPIP(), host);
    browser_seam::Intercept();
    page->CallWebBasedManagement();
    QVERIFY(ui::message_seam::Shown().empty());
    QCOMPARE(browser_seam::LastUrl(), QString("http://192.168.1.111"));

    host.modified = 1;
    ui::message_seam::QueueAnswer(ui::kIdYes);
    page->CallWebBasedManagement();
    const auto shown = ui::message_seam::Shown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].text, QString("The new settings were not written yet to the device.\n\nDo you want to write the "
                                    "new settings to the\ndevice before connecting it via browser?"));
    QCOMPARE(shown[0].iconId, 308);
    QCOMPARE(shown[0].style, ui::kStyleYesNo | ui::kDefaultButton2);
    QCOMPARE(host.writes, 1);
    // No, the default, opens the page without writing.
    page->CallWebBasedManagement();
    QCOMPARE(host.writes, 1);
  }

  void fullDuplexWarns() {
    LoadedModels loaded(true, true);
    CountingHost host;
    auto page = ShownPage<CTransmissionPage>(loaded.models.Transmission(), host);
    auto* mode = Ctl<QComboBox>(page.get(), 1103);
    QCOMPARE(mode->currentText(), QString("  10 MBit / Half Duplex"));
    mode->setCurrentIndex(2);
    emit mode->activated(2);
    QVERIFY(page->DuplexWarningShown().contains("Setting to full duplex could<br>cause duplex missmatch!"));
    QVERIFY(page->DuplexWarningShown().contains(":/lanterna/icons/139.svg"));
    mode->setCurrentIndex(0);
    emit mode->activated(0);
    QVERIFY(page->DuplexWarningShown().isEmpty());
    // Bandwidth limiting off: its fields are disabled.
    QVERIFY(!Ctl<QLineEdit>(page.get(), 1106)->isEnabled());
    QVERIFY(!Ctl<QComboBox>(page.get(), 1109)->isEnabled());
  }

  void aCountAndItsOffsetShareTheRange() {
    LoadedModels loaded(true, true);
    CountingHost host;
    auto page = ShownPage<CEthernetIPPage>(loaded.models.EthernetIP(), host);
    auto* offset = Ctl<QLineEdit>(page.get(), 1129);
    auto* count = Ctl<QLineEdit>(page.get(), 1125);
    offset->setFocus();
    offset->selectAll();
    QTest::keyClicks(offset, "500");
    QVERIFY(!ui::CBalloon::Current());
    count->setFocus();
    count->selectAll();
    QTest::keyClicks(count, "20");
    QVERIFY(ui::CBalloon::Current());
    QCOMPARE(ui::CBalloon::Current()->Title(), QString("PLC-only Input Variable Count"));
    QCOMPARE(ui::CBalloon::Current()->Text(), QString("Please enter a value between 0 and 12."));
    QVERIFY(!page->OnKillActive());
    QVERIFY(count->toolTip().contains("Bk_FbInp_PlcOnly_Var_Cnt"));
    QVERIFY(count->toolTip().contains("102 (0x66)"));
  }

  void aNonControllerCannotChangeTheAssembly() {
    LoadedModels loaded(true, false, "716-341");
    CountingHost host;
    auto page = ShownPage<CEthernetIPPage>(loaded.models.EthernetIP(), host);
    for (int id : {1120, 1123, 1125, 1129, 1127, 1131}) QVERIFY(!Ctl<QLineEdit>(page.get(), id)->isEnabled());
    QVERIFY(Ctl<QComboBox>(page.get(), 1116)->isEnabled());
  }

  void theAlternativeTargetIdBelongsToOneModel_data() {
    QTest::addColumn<QString>("orderNumber");
    QTest::addColumn<bool>("offered");
    QTest::newRow("that model") << "4210-377" << true;
    QTest::newRow("another") << "716-861" << false;
  }

  void theAlternativeTargetIdBelongsToOneModel() {
    QFETCH(QString, orderNumber);
    QFETCH(bool, offered);
    LoadedModels loaded(true, true, orderNumber.toStdString());
    CountingHost host;
    auto page = ShownPage<CPFCPage>(loaded.models.PFC(), host);
    QCOMPARE(Ctl<QCheckBox>(page.get(), 1136)->isVisibleTo(page.get()), offered);
    QVERIFY(Ctl<QCheckBox>(page.get(), 1135)->isVisibleTo(page.get()));
  }

  void olderDevicesHaveOnlyTheConnectionWatchdog() {
    LoadedModels loaded(false, false, "716-312");
    loaded.table100[2] = 9000;
    loaded.models.Modbus().ReloadFromImage();
    CountingHost host;
    auto page = ShownPage<CModbusPage>(loaded.models.Modbus(), host);
    QCOMPARE(Ctl<QLineEdit>(page.get(), 1066)->text(), QString("9000"));
    QVERIFY(Ctl<QLineEdit>(page.get(), 1066)->isEnabled());
    for (int id : {1064, 1070, 1071, 1067}) {
      QVERIFY(Ctl<QLineEdit>(page.get(), id)->text().isEmpty());
      QVERIFY(!Ctl<QLineEdit>(page.get(), id)->isEnabled());
    }
    QVERIFY(Ctl<QLineEdit>(page.get(), 1066)->toolTip().contains("9000 for 9 seconds"));
    // A mask typed out of range shows the hexadecimal range.
    LoadedModels full(true, true);
    auto page32 = ShownPage<CModbusPage>(full.models.Modbus(), host);
    auto* mask = Ctl<QLineEdit>(page32.get(), 1064);
    mask->setFocus();
    mask->selectAll();
    QTest::keyClicks(mask, "0x1FFFF");
    QVERIFY(ui::CBalloon::Current());
    QCOMPARE(ui::CBalloon::Current()->Text(), QString("Please enter a hexadecimal value between 0x0000 and 0xFFFF."));
  }

  void theSheetSelectsOnlyUsedPagesAndKeepsARefusingOne() {
    LoadedModels loaded(true, true);
    CountingHost host;
    CPropSheetInDlg sheet;
    auto* common = new CCommonPage(loaded.models.Common(), host, &sheet);
    auto* protocol = new CProtocolPage(loaded.models.Protocol(), host, &sheet);
    auto* network = new CNetworkPage(loaded.models.Network(), host, &sheet);
    g_bPagesSettingUp = false;
    sheet.ReplacePages({common, protocol, network}, 0);
    sheet.show();
    QCOMPARE(sheet.TabBar()->count(), 3);
    QCOMPARE(sheet.TabBar()->tabText(1), QString("Protocol"));
    // The device does not get the Network page (not in its page list): it cannot be selected.
    QVERIFY(!loaded.models.Network().IsPageUsed());
    sheet.TabBar()->setCurrentIndex(2);
    QCOMPARE(sheet.GetActivePage(), common);
    QCOMPARE(sheet.TabBar()->currentIndex(), 0);
    QVERIFY(common->IsActive());

    sheet.TabBar()->setCurrentIndex(1);
    QCOMPARE(sheet.GetActivePage(), protocol);
    auto* port = Ctl<QLineEdit>(protocol, 1072);
    port->setText("70000");
    sheet.TabBar()->setCurrentIndex(0);
    QCOMPARE(sheet.GetActivePage(), protocol);
    QCOMPARE(sheet.TabBar()->currentIndex(), 1);
    port->setText("8080");
    sheet.TabBar()->setCurrentIndex(0);
    QCOMPARE(sheet.GetActivePage(), common);
    // Left, the page wrote its value into the image.
    QCOMPARE(loaded.table100[59], std::uint16_t{8080});
  }

  void theCommonPageShowsRowsStatesAndItsMenu() {
    LoadedModels loaded(true, true);
    CountingHost host;
    CCommonPageModel fresh;
    auto empty = ShownPage<CCommonPage>(fresh, host);
    QVERIFY(!empty->MakeContextMenu());
    QVERIFY(Ctl<QWidget>(empty.get(), 1168)->isVisible());

    auto page = ShownPage<CCommonPage>(loaded.models.Common(), host);
    page->ShowState(1, "Please wait, connected device will be identified ...");
    auto* grid = Ctl<ui::CGridControl>(page.get(), 1127);
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->item(0, 1)->text(), QString("Please wait, connected device will be identified ..."));
    page->ShowState(2, "");
    QCOMPARE(grid->rowCount(), 8);
    QCOMPARE(grid->item(5, 0)->text(), QString("Serial Number "));
    QCOMPARE(grid->item(5, 1)->text(), QString("Service not supported!"));
    QCOMPARE(grid->item(5, 1)->foreground().color(), QColor(255, 0, 0));
    QCOMPARE(grid->item(5, 1)->background().color(), QColor(255, 255, 224));
    QCOMPARE(grid->item(4, 1)->foreground().style(), Qt::NoBrush);

    std::unique_ptr<QMenu> menu(page->MakeContextMenu());
    QVERIFY(menu);
    QStringList items;
    for (QAction* action : menu->actions())
      items << (action->isSeparator() ? "-" : action->text() + (action->isEnabled() ? "" : " (grey)"));
    QCOMPARE(items, (QStringList{"&Refresh", "-", "&Copy", "&Paste (grey)", "&Delete (grey)", "-", "&Save"}));
    menu->actions()[0]->trigger();
    QCOMPARE(host.reads, 1);
    menu->actions()[2]->trigger();
    const QString exported = QString::fromStdString(loaded.models.Common().ExportText());
    QCOMPARE(QApplication::clipboard()->text(), exported);
    QVERIFY(exported.startsWith("Item Number   = 716-861\r\n"));
    const QString file = m_environment.Path("identification.txt");
    ui::file_dialog_seam::SetNextFileName(file);
    menu->actions()[6]->trigger();
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()), exported);
    // A file that cannot be written says so.
    ui::file_dialog_seam::SetNextFileName(m_environment.Path("missing/folder/x.txt"));
    page->Save();
    QCOMPARE(ui::message_seam::Shown().size(), std::size_t{1});
  }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
