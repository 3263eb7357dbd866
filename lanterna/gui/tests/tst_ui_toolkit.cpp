// The toolkit under the windows: markup, colours, the message box, the balloon and the IP field.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSysInfo>
#include <QPushButton>
#include <QTest>

#include "Common/RegistyEx.h"
#include "GuiTest.h"
#include "gui/AboutDlg.h"
#include "gui/VersionText.h"
#include "ui/Balloon.h"
#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/IpAddressEdit.h"
#include "ui/Markup.h"
#include "ui/MessageBox.h"

using namespace lanterna;
using namespace lanterna::gui::test;

namespace {
constexpr const char* kExplorerKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
}

class TestUiToolkit : public QObject {
  Q_OBJECT

  CTestEnvironment m_environment;

 private slots:
  void markupIsTranslated_data() {
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("translated");
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(0x11, 0x22, 0x33));
    palette.setColor(QPalette::Base, QColor(0x44, 0x55, 0x66));
    QTest::newRow("plain markup stays") << "<b>Exit</b><br><i>x</i>" << "<b>Exit</b><br><i>x</i>";
    QTest::newRow("icon by id") << "<icon idres=139 width=32 height=32>"
                                << "<img src=\":/lanterna/icons/139.svg\" width=32 height=32>";
    QTest::newRow("font with style and size")
        << "<font color=red size=10pt style=b>Warn</font>"
        << "<span style=\"color:red;font-size:10pt;font-weight:bold\">Warn</span>";
    QTest::newRow("palette colours") << "<td bgcolor=buttonface>a</td><td bgcolor=window>b</td>"
                                     << "<td bgcolor=\"#112233\">a</td><td bgcolor=\"#445566\">b</td>";
    QTest::newRow("other colours stay") << "<td bgcolor=white>c</td>" << "<td bgcolor=\"white\">c</td>";
    QTest::newRow("coloured rule")
        << "<hr color=green>"
        << "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr><td bgcolor=\"green\" "
           "style=\"font-size:2px\">&nbsp;</td></tr></table>";
  }

  void markupIsTranslated() {
    QFETCH(QString, markup);
    QFETCH(QString, translated);
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(0x11, 0x22, 0x33));
    palette.setColor(QPalette::Base, QColor(0x44, 0x55, 0x66));
    QCOMPARE(ui::TranslateMarkup(markup, palette), translated);
  }

  void iconsAreOurs() {
    for (int id : {ui::kIconMain, ui::kIconRead, ui::kIconWrite, ui::kIconDuplexWarning, ui::kIconDeviceChanged})
      QVERIFY2(QFile::exists(ui::IconPath(id)), qPrintable(ui::IconPath(id)));
    QVERIFY(!ui::ResourceIcon(ui::kIconRead).pixmap(24, 24).isNull());
    // An id without an icon of ours falls back to the style's.
    QVERIFY(!QFile::exists(ui::IconPath(4711)));
    QVERIFY(!ui::ResourceIcon(4711).isNull());
  }

  void coloursAreWindowsRgbWords() {
    QCOMPARE(ui::ColorFromRgbWord(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(ui::ColorFromRgbWord(0xE0FFFF), QColor(255, 255, 224));
    QCOMPARE(ui::ColorFromRgbWord(0x800000), QColor(0, 0, 128));
    QCOMPARE(ui::ColorFromRgbWord(0x00B153), QColor(0x53, 0xB1, 0x00));
  }

  void messageBoxButtonsAndClosing_data() {
    QTest::addColumn<unsigned>("style");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("closed");  // 0: the window does not close
    QTest::newRow("OK") << ui::kStyleOk << QStringList{"OK"} << int{ui::kIdOk} << int{ui::kIdOk};
    QTest::newRow("OK and Cancel") << ui::kStyleOkCancel << QStringList{"OK", "Cancel"} << int{ui::kIdOk}
                                   << int{ui::kIdCancel};
    QTest::newRow("Yes and No, No first") << (ui::kStyleYesNo | ui::kDefaultButton2) << QStringList{"Yes", "No"}
                                          << int{ui::kIdNo} << 0;
  }

  void messageBoxButtonsAndClosing() {
    QFETCH(unsigned, style);
    QFETCH(QStringList, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, closed);
    ui::CMessageBox box("Text", 0, style, {}, nullptr);
    QCOMPARE(box.windowTitle(), QString("ORLA Lanterna"));
    QStringList texts;
    for (QPushButton* button : box.findChildren<QPushButton*>()) texts << button->text();
    QCOMPARE(texts, buttons);
    QVERIFY(box.Button(defaultButton)->isDefault());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.close();
    QCOMPARE(box.ButtonResult(), closed);
    QCOMPARE(box.isVisible(), closed == 0);
    if (closed == 0) {
      QTest::mouseClick(box.Button(ui::kIdYes), Qt::LeftButton);
      QCOMPARE(box.ButtonResult(), int{ui::kIdYes});
    }
  }

  void theSeamAnswersAndKeepsTheBoxes() {
    ui::message_seam::Clear();
    ui::message_seam::QueueAnswer(ui::kIdCancel);
    QCOMPARE(ui::ShowMessage("first", 307, ui::kStyleOkCancel, "Title"), int{ui::kIdCancel});
    QCOMPARE(ui::ShowMessage("second", 0, ui::kStyleYesNo | ui::kDefaultButton2), int{ui::kIdNo});
    const auto shown = ui::message_seam::Shown();
    QCOMPARE(shown.size(), std::size_t{2});
    QCOMPARE(shown[0].text, QString("first"));
    QCOMPARE(shown[0].iconId, 307);
    QCOMPARE(shown[0].caption, QString("Title"));
  }

  void versionLinesNameThemselves() {
    QCOMPARE(gui::VersionLine("4.5"), QString("Version 4.5"));
    QCOMPARE(gui::VersionLine("4.5 beta"), QString("4.5 beta"));
    QCOMPARE(gui::VersionLine("Release Candidate 2"), QString("Release Candidate 2"));
    QCOMPARE(gui::CAboutDlg::ModuleLines("4.5.0 (Dec  8 2026)", "4.5.0 (Dec  7 2026)"),
             QString("LANTERNA.EXE:  4.5.0 (Dec  8 2026)\r\nFENNEC.DLL\t:  4.5.0 (Dec  7 2026)\r\n"));
    QCOMPARE(gui::CAboutDlg::ModuleLines("4.5.0 (x)", ""), QString("LANTERNA.EXE:  4.5.0 (x)\r\n"));
    gui::CAboutDlg about;
    QCOMPARE(about.windowTitle(), QString("About ORLA Lanterna"));
    QCOMPARE(about.findChild<QLabel*>("version")->text(), QString("Version 4.5"));
    QVERIFY(about.findChild<QLabel*>("system")->text().contains(QSysInfo::kernelVersion()));
  }

  // The balloon closes on any mouse button, the wheel and any key but the modifiers; the
  // navigation keys only close it.
  void balloonClosingRules_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("letter closes and types") << int{Qt::Key_A} << true << "12a";
    QTest::newRow("Escape only closes") << int{Qt::Key_Escape} << true << "12";
    QTest::newRow("Tab only closes") << int{Qt::Key_Tab} << true << "12";
    QTest::newRow("arrow only closes") << int{Qt::Key_Left} << true << "12";
    QTest::newRow("F5 only closes") << int{Qt::Key_F5} << true << "12";
    QTest::newRow("Shift keeps it") << int{Qt::Key_Shift} << false << "12";
  }

  void balloonClosingRules() {
    QFETCH(int, key);
    QFETCH(bool, closes);
    QFETCH(QString, textAfter);
    QWidget window;
    auto* edit = new QLineEdit("12", &window);
    new QLineEdit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    edit->end(false);
    QVERIFY(ui::CBalloon::ShowAt(edit, "Title", "Text"));
    QTest::keyClick(edit, static_cast<Qt::Key>(key));
    QCOMPARE(ui::CBalloon::Current() == nullptr, closes);
    QCOMPARE(edit->text(), textAfter);
    ui::CBalloon::CloseCurrent();
  }

  void balloonClosesOnMouseAndKeepsTheClick() {
    QWidget window;
    auto* edit = new QLineEdit("12", &window);
    auto* button = new QPushButton("Other", &window);
    button->move(0, 60);
    int clicked = 0;
    connect(button, &QPushButton::clicked, [&] { ++clicked; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(ui::CBalloon::ShowAt(edit, "Title", "Text"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!ui::CBalloon::Current());
    QCOMPARE(clicked, 1);
  }

  void balloonsFollowTheUsersSetting() {
    QLineEdit edit;
    edit.show();
    cutils::CRegistryEx(kExplorerKey).WriteDWord("Advanced", "EnableBalloonTips", 0);
    QVERIFY(!ui::CBalloon::ShowAt(&edit, "Title", "Text"));
    cutils::CRegistryEx(kExplorerKey).WriteDWord("Advanced", "EnableBalloonTips", 1);
    QVERIFY(ui::CBalloon::ShowAt(&edit, "Title", "Text"));
    ui::CBalloon::CloseCurrent();
  }

  void ipAddressFieldTakesDottedInput() {
    ui::CIpAddressEdit address;
    address.show();
    address.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&address));
    address.SetAddress(0xC0A8016F);
    QCOMPARE(address.Text(), QString("192.168.1.111"));
    address.Field(0)->setFocus();
    address.Field(0)->selectAll();
    // A dot moves on; a third digit too.
    QTest::keyClicks(address.Field(0), "10.");
    QTest::keyClicks(QApplication::focusWidget(), "200");
    QTest::keyClicks(QApplication::focusWidget(), "7.");
    QTest::keyClicks(QApplication::focusWidget(), "9");
    QCOMPARE(address.Text(), QString("10.200.7.9"));
    QCOMPARE(address.Address(), 0x0AC80709u);
    // Values above 255 are refused by the field.
    address.Field(3)->selectAll();
    QTest::keyClicks(address.Field(3), "300");
    QVERIFY(address.Field(3)->text().toInt() <= 255);
  }
};

QTEST_MAIN(TestUiToolkit)
#include "tst_ui_toolkit.moc"
