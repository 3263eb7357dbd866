// The main dialog driven as a technician drives it, against the simulated device.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>

#include "GuiTest.h"
#include "app/Configuration.h"
#include "gui/CommonPage.h"
#include "gui/PropSheetInDlg.h"
#include "ui/Balloon.h"
#include "ui/FileDialog.h"
#include "ui/GridControl.h"

using namespace lanterna;
using namespace lanterna::gui;
using namespace lanterna::gui::test;

namespace {

struct Buttons {
  bool exit, read, write, restart, defaults, extract, format, comPort;
};

Buttons ButtonsOf(const CLanternaDlg& dialog) {
  auto on = [&](int id) { return Ctl<QPushButton>(&dialog, id)->isEnabled(); };
  return {on(1124), on(1012), on(1025), on(1051), on(1024), on(1055), on(1056), on(1031)};
}

QString Text(const CLanternaDlg& dialog, int id) { return Ctl<QLabel>(&dialog, id)->text(); }

std::vector<std::uint16_t> DeviceTable(fennec::sim::SimulatedDevice& device, std::uint8_t table) {
  return device.InspectState([table](const auto& state) {
    const auto run = state.tables.Run(table, 0, static_cast<unsigned>(state.tables.Size(table)));
    return std::vector<std::uint16_t>(run.begin(), run.end());
  });
}

std::vector<std::uint16_t> SavedTable(fennec::sim::SimulatedDevice& device, std::uint8_t table) {
  return device.InspectState([table](const auto& state) { return state.memory.Content().tables.at(table); });
}

int CountLines(const CDialogData& data, const std::string& line) {
  return static_cast<int>(std::count(data.LogLines().begin(), data.LogLines().end(), line));
}

// Types into a field as a user does: the old text selected, then the keys.
void TypeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

}  // namespace

class TestLanternaDlg : public QObject {
  Q_OBJECT

  CTestEnvironment m_environment;

 private slots:
  void init() { ui::message_seam::Clear(); }
  void cleanup() { ui::CBalloon::CloseCurrent(); }

  void startsIdleWithoutACommandLineDevice() {
    DialogOnDevice on(Profile("fbc32", false), false);
    // Until the first show every action button is off.
    const Buttons before = ButtonsOf(on.dialog);
    QVERIFY(!before.exit && !before.read && !before.comPort);
    on.dialog.show();
    QTRY_VERIFY(ButtonsOf(on.dialog).read);
    const Buttons after = ButtonsOf(on.dialog);
    QVERIFY(after.exit && after.read && after.comPort);
    QVERIFY(!after.write && !after.restart && !after.defaults && !after.extract && !after.format);
    QCOMPARE(on.dialog.windowTitle(), QString("ORLA Lanterna"));
    QCOMPARE(Text(on.dialog, 1013), QString("ORLA Lanterna"));
    QCOMPARE(Text(on.dialog, 1017), QString("Version 4.5"));
    QCOMPARE(Text(on.dialog, 1027), QString("Welcome to ORLA Lanterna 4.5"));
    QCOMPARE(Text(on.dialog, 1032), QString("Please select a COM-Port and click 'Read'."));
    QCOMPARE(Ctl<QPushButton>(&on.dialog, 1031)->text(), "&" + QString::fromStdString(on.simulated.Device().SlavePath()));
    QVERIFY(Ctl<QPushButton>(&on.dialog, 1028)->isVisible());
    QCOMPARE(on.Tabs(), QStringList{"Common"});
    // No read without being asked.
    QTest::qWait(200);
    QVERIFY(on.ended.isEmpty());
    QVERIFY(on.simulated.Session().Data().LogLines().empty());
  }

  void readsByItselfWithACommandLineDeviceAndKeepsThePortButtonOff() {
    DialogOnDevice on(Profile("fbc32"));
    QTRY_VERIFY(on.dialog.ActionRunning() || !on.ended.isEmpty());
    QVERIFY(!ButtonsOf(on.dialog).comPort);
    QVERIFY(on.WaitForEnd());
    QVERIFY(on.LastSucceeded());
    const Buttons after = ButtonsOf(on.dialog);
    QVERIFY(after.read && after.restart && after.extract && !after.comPort && !after.write);
  }

  void readShowsEachProfile_data() {
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("deviceLine");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<bool>("fileSystem");
    QTest::newRow("fbc32") << "fbc32" << " 716-341, ETHERNET FBC 100MBIT"
                           << QStringList{"Common", "TCP/IP", "Network", "Clock", "Modbus", "Protocol",
                                          "Transmission", "SNTP", "EtherNet/IP"}
                           << true;
    QTest::newRow("pfc32") << "pfc32" << " 716-861, ETHERNET PFC 100MBIT"
                           << QStringList{"Common", "TCP/IP", "Network", "Clock", "Modbus", "Protocol",
                                          "Transmission", "SNTP", "EtherNet/IP", "PFC"}
                           << true;
    // The 16-bit generation gets only the pages it has registers for.
    QTest::newRow("fbc16") << "fbc16" << " 716-312, ETHERNET FBC 10MBIT"
                           << QStringList{"Common", "TCP/IP", "Modbus", "Protocol"} << false;
    // No page keys in its section: the default pages, of which a 16-bit device shows TCP/IP.
    QTest::newRow("fbcold") << "fbcold" << " 716-301/000-000, ETHERNET FBC" << QStringList{"Common", "TCP/IP"}
                            << false;
  }

  void readShowsEachProfile() {
    QFETCH(QString, profile);
    QFETCH(QString, deviceLine);
    QFETCH(QStringList, tabs);
    QFETCH(bool, fileSystem);
    DialogOnDevice on(Profile(profile.toStdString()));
    QVERIFY(on.WaitForEnd());
    QVERIFY(on.LastSucceeded());
    QCOMPARE(Text(on.dialog, 1027), deviceLine);
    QCOMPARE(on.Tabs(), tabs);
    const Buttons buttons = ButtonsOf(on.dialog);
    QCOMPARE(buttons.extract, fileSystem);
    QCOMPARE(buttons.format, fileSystem);
    QVERIFY(buttons.read && buttons.restart && buttons.defaults && !buttons.write);

    // The Common page lists the identification.
    auto* grid = Ctl<ui::CGridControl>(on.dialog.Sheet(), 1127);
    QVERIFY(grid->isVisible());
    QCOMPARE(grid->rowCount(), 8);
    QCOMPARE(grid->item(0, 0)->text(), QString("Item Number   "));
    QCOMPARE(" " + grid->item(0, 1)->text() + ", " + grid->item(1, 1)->text(), deviceLine);

    const auto& log = on.simulated.Session().Data().LogLines();
    QVERIFY(log.size() >= 5);
    QCOMPARE(QString::fromStdString(log[0]), QString("Identifying connected device is in progress..."));
    QCOMPARE(QString::fromStdString(log[1]), QString("    Connecting with the device is in progress..."));
    QCOMPARE(QString::fromStdString(log[2]), QString("    Connecting with the device successfully done"));
    QCOMPARE(QString::fromStdString(log.back()), QString("Connected device successfully identified."));
    QCOMPARE(Text(on.dialog, 1032), QString("Connected device successfully identified."));
  }

  void aDeviceThatIsNotOursIsRefused() {
    DialogOnDevice on(Profile("fbcnode"));
    QVERIFY(on.WaitForEnd());
    QVERIFY(!on.LastSucceeded());
    const auto shown = ui::message_seam::Shown();
    QCOMPARE(shown.size(), std::size_t{1});
    QVERIFY(shown[0].text.startsWith("Inadmissible FBC!\n\nThe connected device does not seem to be a ORLA Ethernet device."));
    QCOMPARE(on.Tabs(), QStringList{"Common"});
  }

  void aSilentDeviceLeavesTheCommonPageWithTheFailure() {
    DialogOnDevice on(Profile("fbc32", false));
    on.simulated.Device().DropNext(1000);
    QTRY_VERIFY(ButtonsOf(on.dialog).read);
    QTest::mouseClick(Ctl<QPushButton>(&on.dialog, 1012), Qt::LeftButton);
    QVERIFY(on.WaitForEnd());
    QVERIFY(!on.LastSucceeded());
    QCOMPARE(on.Tabs(), QStringList{"Common"});
    auto* grid = Ctl<ui::CGridControl>(on.dialog.Sheet(), 1127);
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->item(0, 1)->text(), QString("Connecting device failed!"));
    QCOMPARE(grid->item(0, 1)->foreground().color(), QColor(255, 0, 0));
    const Buttons buttons = ButtonsOf(on.dialog);
    QVERIFY(buttons.exit && buttons.read && buttons.restart && buttons.comPort);
    QVERIFY(!buttons.write && !buttons.defaults && !buttons.extract && !buttons.format);
    const CDialogData& data = on.simulated.Session().Data();
    QCOMPARE(CountLines(data, "    ERROR: Connecting with the device failed!"), 1);
    QCOMPARE(CountLines(data, "Identification of connected device failed!"), 1);
  }

  void anOutOfRangeValueHoldsThePageAndACorrectedOneWritesExactlyItsRegister() {
    DialogOnDevice on(Profile("fbc32"));
    QVERIFY(on.WaitForEnd());
    auto& device = on.simulated.Device();
    const auto table0 = DeviceTable(device, 0);
    auto table100 = DeviceTable(device, 100);
    CPropSheetInDlg* sheet = on.dialog.Sheet();
    QVERIFY(sheet->SetActivePage(on.dialog.Page("PROTOCOL")));
    auto* port = Ctl<QLineEdit>(sheet, 1072);
    QCOMPARE(port->text(), QString("80"));

    TypeInto(port, "20000");
    ui::CBalloon* balloon = ui::CBalloon::Current();
    QVERIFY(balloon);
    QCOMPARE(balloon->Title(), QString("HTTP-Port"));
    QCOMPARE(balloon->Text(), QString("Please enter a value between 1 and 10000."));
    QCOMPARE(balloon->Anchor(), port);
    // The page cannot be left.
    sheet->TabBar()->setCurrentIndex(0);
    QCOMPARE(sheet->GetActivePage(), on.dialog.Page("PROTOCOL"));
    QCOMPARE(sheet->TabBar()->currentIndex(), sheet->GetPageIndex(on.dialog.Page("PROTOCOL")));
    QCOMPARE(on.dialog.windowTitle(), QString("ORLA Lanterna *"));

    TypeInto(port, "8080");
    QVERIFY(!ui::CBalloon::Current());
    auto* write = Ctl<QPushButton>(&on.dialog, 1025);
    QVERIFY(write->isEnabled());
    on.ended.clear();
    // Return on the focused Write button writes.
    write->setFocus();
    QTest::keyClick(write, Qt::Key_Return);
    QVERIFY(on.WaitForEnd());
    QVERIFY(on.LastSucceeded());
    QCOMPARE(on.dialog.windowTitle(), QString("ORLA Lanterna"));
    QVERIFY(!write->isEnabled());

    table100[59] = 8080;
    QCOMPARE(DeviceTable(device, 100), table100);
    QCOMPARE(DeviceTable(device, 0), table0);
    QCOMPARE(SavedTable(device, 100), table100);
    // After the write the device was read again, and the page stayed where it was.
    QCOMPARE(sheet->GetActivePage(), on.dialog.Page("PROTOCOL"));
    QCOMPARE(port->text(), QString("8080"));
  }

  void aWriteSwitchesToThePageThatRefusesItsValue() {
    SimulatedSessionOptions options = Profile("fbc32");
    options.iniText = std::string(kTestIni) + "\n";
    const auto at = options.iniText.find("HttpPortMin=1");
    options.iniText.replace(at, 13, "HttpPortMin=100");
    DialogOnDevice on(options);
    QVERIFY(on.WaitForEnd());
    const auto before = DeviceTable(on.simulated.Device(), 100);
    CPropSheetInDlg* sheet = on.dialog.Sheet();
    QVERIFY(sheet->SetActivePage(on.dialog.Page("NETWORK")));
    TypeInto(Ctl<QLineEdit>(sheet, 1074), "node7");
    const auto logSize = on.simulated.Session().Data().LogLines().size();
    on.ended.clear();
    QTest::mouseClick(Ctl<QPushButton>(&on.dialog, 1025), Qt::LeftButton);

    QCOMPARE(sheet->GetActivePage(), on.dialog.Page("PROTOCOL"));
    QVERIFY(ui::CBalloon::Current());
    QCOMPARE(ui::CBalloon::Current()->Text(), QString("Please enter a value between 100 and 10000."));
    QVERIFY(!on.dialog.ActionRunning());
    QCOMPARE(on.simulated.Session().Data().LogLines().size(), logSize);
    QTest::qWait(100);
    QVERIFY(on.ended.isEmpty());
    QCOMPARE(DeviceTable(on.simulated.Device(), 100), before);
  }

  void readAskedForDuringAnActionIsIgnored() {
    DialogOnDevice on(Profile("fbc32"));
    on.simulated.Device().SetAnswerDelay(std::chrono::milliseconds(20));
    QTRY_VERIFY(on.dialog.ActionRunning());
    on.dialog.RequestRead();
    on.dialog.OnRead();
    QVERIFY(on.WaitForEnd());
    QCOMPARE(on.ended.size(), 1);
    QCOMPARE(CountLines(on.simulated.Session().Data(), "Identifying connected device is in progress..."), 1);
  }

  void theStatusLineMenuCopiesSavesAndDeletesTheLog() {
    DialogOnDevice on(Profile("fbc32", false));
    QTRY_VERIFY(ButtonsOf(on.dialog).read);
    // Nothing logged yet: no menu.
    QVERIFY(!on.dialog.MakeStatusMenu());
    on.dialog.OnRead();
    QVERIFY(on.WaitForEnd());

    std::unique_ptr<QMenu> menu(on.dialog.MakeStatusMenu());
    QVERIFY(menu);
    QStringList items;
    for (QAction* action : menu->actions())
      items << (action->isSeparator() ? "-" : action->text() + (action->isEnabled() ? "" : " (grey)"));
    QCOMPARE(items, (QStringList{"&Copy", "&Paste (grey)", "&Delete", "-", "&Save"}));
    const QString log = QString::fromStdString(on.simulated.Session().Data().LogText());
    QVERIFY(log.contains("\r\n"));
    menu->actions()[0]->trigger();
    QCOMPARE(QApplication::clipboard()->text(), log);

    const QString file = m_environment.Path("log.txt");
    ui::file_dialog_seam::SetNextFileName(file);
    menu->actions()[4]->trigger();
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()), log);
    QCOMPARE(QString::fromStdString(CProgramRegistry().LogFolder("")), QFileInfo(file).absolutePath());

    menu->actions()[2]->trigger();
    QCOMPARE(Text(on.dialog, 1032), QString("Ready"));
    QVERIFY(!on.dialog.MakeStatusMenu());
  }

  // With /DEBUG the save's polling trace is shown by the window while the worker waits for it.
  void theDebugTraceIsShownWhileTheWorkerWaits() {
    SimulatedSessionOptions options = Profile("fbc32");
    options.debug = true;
    DialogOnDevice on(options);
    QVERIFY(on.WaitForEnd());
    CPropSheetInDlg* sheet = on.dialog.Sheet();
    QVERIFY(sheet->SetActivePage(on.dialog.Page("PROTOCOL")));
    TypeInto(Ctl<QLineEdit>(sheet, 1072), "81");
    ui::message_seam::Clear();
    on.ended.clear();
    QTest::mouseClick(Ctl<QPushButton>(&on.dialog, 1025), Qt::LeftButton);
    QVERIFY(on.WaitForEnd());
    QVERIFY(on.LastSucceeded());
    const auto shown = ui::message_seam::Shown();
    QCOMPARE(shown.size(), std::size_t{1});
    QVERIFY(shown[0].text.startsWith("01. State = "));
    QVERIFY(shown[0].text.contains("State after polling = "));
    // The box came between the save and the restart, while the worker waited.
    const auto& log = on.simulated.Session().Data().LogLines();
    QVERIFY(std::find(log.begin(), log.end(), "    Saving parameters successfully done") != log.end());
  }

  void restartAsksFirstAndRunsOnlyAfterOk() {
    DialogOnDevice on(Profile("fbc32"));
    QVERIFY(on.WaitForEnd());
    on.ended.clear();
    ui::message_seam::QueueAnswer(ui::kIdCancel);
    QTest::mouseClick(Ctl<QPushButton>(&on.dialog, 1051), Qt::LeftButton);
    QCOMPARE(ui::message_seam::Shown().back().text, QString("The firmware of the connected device will be started again."));
    QCOMPARE(ui::message_seam::Shown().back().style, ui::kStyleOkCancel);
    QVERIFY(!on.dialog.ActionRunning());

    ui::message_seam::QueueAnswer(ui::kIdOk);
    QTest::mouseClick(Ctl<QPushButton>(&on.dialog, 1051), Qt::LeftButton);
    QVERIFY(on.WaitForEnd());
    QVERIFY(on.LastSucceeded());
    QCOMPARE(CountLines(on.simulated.Session().Data(), "Software reset of the connected device successfully done"), 1);
    QCOMPARE(on.Tabs().size(), 9);
  }

  void extractEndsWithThePagesShownAgain() {
    DialogOnDevice on(Profile("pfc32"));
    QVERIFY(on.WaitForEnd());
    on.ended.clear();
    ui::message_seam::QueueAnswer(ui::kIdOk);
    QTest::mouseClick(Ctl<QPushButton>(&on.dialog, 1055), Qt::LeftButton);
    QCOMPARE(ui::message_seam::Shown().back().text, QString("The file system of the connected device will be extracted."));
    QVERIFY(on.WaitForEnd());
    QVERIFY(on.LastSucceeded());
    QCOMPARE(on.Tabs().size(), 10);
    QCOMPARE(CountLines(on.simulated.Session().Data(), "Extracting file system successfully done"), 1);
    // The pages hold the device's values again.
    QVERIFY(on.dialog.Sheet()->SetActivePage(on.dialog.Page("PROTOCOL")));
    QCOMPARE(Ctl<QLineEdit>(on.dialog.Sheet(), 1072)->text(), QString("80"));
  }

  void closingTheWindowDuringAWriteLeavesACompleteSavedWrite() {
    const QString stateFile = m_environment.Path("fbc32.state");
    SimulatedSessionOptions options = Profile("fbc32");
    options.stateFile = stateFile.toStdString();
    CSimulatedSession simulated(DialogOnDevice::WithDefaults(options));
    CProgramSession& session = simulated.Session();
    auto dialog = std::make_unique<CLanternaDlg>(session, CLanternaDlg::Options{.hasCommandLineDevice = true});
    QSignalSpy ended(dialog.get(), &CLanternaDlg::ActionEnded);
    dialog->show();
    QVERIFY(QTest::qWaitFor([&] { return !ended.isEmpty() && !dialog->ActionRunning(); }, 60000));
    CPropSheetInDlg* sheet = dialog->Sheet();
    QVERIFY(sheet->SetActivePage(dialog->Page("PROTOCOL")));
    TypeInto(Ctl<QLineEdit>(sheet, 1072), "8081");
    simulated.Device().SetAnswerDelay(std::chrono::milliseconds(5));
    QTest::mouseClick(Ctl<QPushButton>(dialog.get(), 1025), Qt::LeftButton);
    QTRY_VERIFY(CountLines(session.Data(), "Writing settings is in progress...") == 1);

    // The window goes while the worker writes: it answers no further report and is gone only
    // once the worker has ended.
    dialog->close();
    QVERIFY(session.WorkerRunning());
    const auto logged = session.Data().LogLines().size();
    dialog.reset();
    QVERIFY(!session.WorkerRunning());
    QCOMPARE(session.Data().LogLines().size(), logged);
    QCOMPARE(SavedTable(simulated.Device(), 100).at(59), std::uint16_t{8081});
    QVERIFY(QFile::exists(stateFile));
  }
};

QTEST_MAIN(TestLanternaDlg)
#include "tst_lanterna_dlg.moc"
