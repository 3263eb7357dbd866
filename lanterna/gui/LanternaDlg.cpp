#include "gui/LanternaDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QThread>
#include <QToolTip>
#include <QVBoxLayout>

#include "gui/AboutDlg.h"
#include "gui/ClockPage.h"
#include "gui/CommonPage.h"
#include "gui/EthernetIPPage.h"
#include "gui/ModbusPage.h"
#include "gui/NetworkPage.h"
#include "gui/PFCPage.h"
#include "gui/PortSettingsDlg.h"
#include "gui/PropSheetInDlg.h"
#include "gui/ProtocolPage.h"
#include "gui/SntpPage.h"
#include "gui/TCPIPPage.h"
#include "gui/TextFileSave.h"
#include "gui/TransmissionPage.h"
#include "gui/VersionText.h"
#include "ui/BusyIndicator.h"
#include "ui/IconButton.h"
#include "ui/Icons.h"
#include "ui/MenuCommand.h"
#include "ui/MessageBox.h"

namespace lanterna::gui {

namespace {

constexpr const char* kLogReady = "Ready";

std::string SectionOf(const std::string& key) { return key.substr(0, key.find('.')); }

}  // namespace

CLanternaDlg::CLanternaDlg(CProgramSession& session, Options options, QWidget* parent)
    : QDialog(parent), m_session(session), m_options(std::move(options)), m_deviceClock(session.Service()) {
  setObjectName("lanternaDlg");
  setWindowIcon(ui::ResourceIcon(ui::kIconMain));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMinimizeButtonHint, true);
  if (m_options.topmost) setWindowFlag(Qt::WindowStaysOnTopHint, true);
  BuildControls();
  BuildSheet();
  RefreshFromData();
  QTimer::singleShot(0, this, &CLanternaDlg::OnFirstShow);
}

CLanternaDlg::~CLanternaDlg() {
  m_gate->open = false;
  // A report the worker posted before the gate closed still needs this thread to return.
  while (m_session.WorkerRunning()) {
    QCoreApplication::processEvents();
    QThread::msleep(5);
  }
}

QPushButton* CLanternaDlg::AddButton(int id, const QString& caption, int icon, const QString& tipTitle,
                                     const QString& tipBody) {
  auto* button = new ui::CIconButton(caption, icon, tipTitle, tipBody, this);
  button->setObjectName(ControlName(id));
  button->setEnabled(false);
  button->setMinimumWidth(118);
  button->setStyleSheet("text-align: left; padding: 4px 10px;");
  return button;
}

void CLanternaDlg::BuildControls() {
  m_exit = AddButton(1124, "E&xit", ui::kIconExit, "Exit (Alt + X)", "Quits <i>ORLA Lanterna</i>.");
  m_read = AddButton(1012, "&Read", ui::kIconRead, "Read Settings (Alt + R)",
                     "Identifies the connected fieldbus device and displays the settings on the pages below.");
  m_write = AddButton(1025, "&Write", ui::kIconWrite, "Write Settings (Alt + W)",
                      "Writes current settings to the connected fieldbus device.");
  m_restart = AddButton(1051, "Re&start", ui::kIconRestart, "Restart Device (Alt + S)",
                        "Restarts the connected fieldbus device.");
  m_default = AddButton(1024, "&Default", ui::kIconDefault, "Factory Settings (Alt + D)",
                        "Resets the connected device back to factory default settings which are stored in "
                        "EEPORM.<br><br><b>Remark:</b><br>Current settings are overwritten!");
  m_extract = AddButton(1055, "&Extract", ui::kIconExtract, "Extraxt File System (Alt + E)",
                        "Extracts the files to the file system of the connected fieldbus device.");
  m_format = AddButton(1056, "&Format", ui::kIconFormat, "Format Flash (Alt + F)",
                       "Formats the file system of the connected fieldbus device.");
  m_comPort = AddButton(1031, "&COMx", ui::kIconComPort, "COM-Port (Alt + C)",
                        "Changes the settings of the communication interface.");
  m_comPort->setText("&" + QString::fromStdString(m_session.Connection().GetSettingsValue("device")));
  // The window manager's menu cannot take an entry here: the About box has a button of its own.
  m_about = AddButton(1028, "Ab&out", ui::kIconMessage, {}, {});
  m_about->setEnabled(true);

  m_title = new QLabel(CDialogData::kTitle, this);
  m_title->setObjectName(ControlName(1013));
  QFont titleFont = m_title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.7);
  titleFont.setBold(true);
  m_title->setFont(titleFont);
  m_version = new QLabel(VersionLine(CDialogData::kProductVersion), this);
  m_version->setObjectName(ControlName(1017));
  auto* logo = new QLabel(this);
  logo->setPixmap(ui::ResourceIcon(ui::kIconMain).pixmap(44, 44));
  m_busy = new ui::CBusyIndicator(this);
  m_busy->setObjectName(ControlName(1021));

  m_deviceLine = new QLabel(" Fieldbus Device", this);
  m_deviceLine->setObjectName(ControlName(1027));
  m_deviceLine->setFrameShape(QFrame::StyledPanel);
  m_deviceLine->setMinimumHeight(28);
  m_deviceLine->setCursor(Qt::PointingHandCursor);
  QFont deviceFont = m_deviceLine->font();
  deviceFont.setBold(true);
  m_deviceLine->setFont(deviceFont);
  m_deviceLine->installEventFilter(this);

  m_status = new QLabel(" State", this);
  m_status->setObjectName(ControlName(1032));
  m_status->setFrameShape(QFrame::Panel);
  m_status->setFrameShadow(QFrame::Sunken);
  m_status->setMinimumHeight(24);
  m_status->setFocusPolicy(Qt::StrongFocus);
  m_status->installEventFilter(this);

  m_sheet = new CPropSheetInDlg(this);
  m_sheet->setMinimumSize(560, 380);

  auto* header = new QGridLayout;
  header->addWidget(logo, 0, 0, 2, 1);
  header->addWidget(m_title, 0, 1);
  header->addWidget(m_version, 1, 1);
  header->addWidget(m_busy, 0, 2, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
  header->setColumnStretch(1, 1);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {m_read, m_write, m_restart, m_default, m_extract, m_format, m_comPort})
    buttons->addWidget(button);
  buttons->addStretch();
  buttons->addWidget(m_about);
  buttons->addWidget(m_exit);

  auto* layout = new QGridLayout(this);
  layout->addLayout(header, 0, 0, 1, 2);
  layout->addWidget(m_deviceLine, 1, 0);
  layout->addWidget(m_sheet, 2, 0);
  layout->addLayout(buttons, 1, 1, 2, 1);
  layout->addWidget(m_status, 3, 0, 1, 2);
  layout->setRowStretch(2, 1);
  layout->setColumnStretch(0, 1);

  connect(m_exit, &QPushButton::clicked, this, [this] {
    QToolTip::hideText();
    accept();
  });
  connect(m_read, &QPushButton::clicked, this, &CLanternaDlg::OnRead);
  connect(m_write, &QPushButton::clicked, this, &CLanternaDlg::OnWrite);
  connect(m_restart, &QPushButton::clicked, this, &CLanternaDlg::OnRestart);
  connect(m_default, &QPushButton::clicked, this, &CLanternaDlg::OnDefault);
  connect(m_extract, &QPushButton::clicked, this, &CLanternaDlg::OnExtract);
  connect(m_format, &QPushButton::clicked, this, &CLanternaDlg::OnFormat);
  connect(m_comPort, &QPushButton::clicked, this, [this] { OnPortSettings(true); });
  connect(m_about, &QPushButton::clicked, this, &CLanternaDlg::OnAbout);
  m_write->installEventFilter(this);
}

void CLanternaDlg::BuildSheet() {
  g_bPagesSettingUp = true;
  CSettingsPages& models = m_session.Pages();
  m_common = new CCommonPage(models.Common(), *this, m_sheet);
  m_clock = new CClockPage(models.Clock(), *this, m_sheet);
  m_clock->SetDevice({[this] { return m_session.OpenPort(); }, [this] { m_session.ClosePort(); }, &m_deviceClock});
  m_pages = {m_common,
             new CTCPIPPage(models.TCPIP(), *this, m_sheet),
             new CNetworkPage(models.Network(), *this, m_sheet),
             m_clock,
             new CModbusPage(models.Modbus(), *this, m_sheet),
             new CProtocolPage(models.Protocol(), *this, m_sheet),
             new CTransmissionPage(models.Transmission(), *this, m_sheet),
             new CSntpPage(models.Sntp(), *this, m_sheet),
             new CEthernetIPPage(models.EthernetIP(), *this, m_sheet),
             new CPFCPage(models.PFC(), *this, m_sheet)};
  for (CCouplerSettingsPageBase* page : m_pages) page->hide();
  models.Common().SetIdentificationTexts(m_session.Data().Identification());
  m_sheet->ReplacePages({m_common}, 0);
  g_bPagesSettingUp = false;
}

CCouplerSettingsPageBase* CLanternaDlg::Page(const std::string& section) const {
  for (CCouplerSettingsPageBase* page : m_pages)
    if (page->GetSection() == section) return page;
  return nullptr;
}

void CLanternaDlg::OnFirstShow() {
  if (!m_gate->open) return;
  m_bFirstShown = true;
  RefreshFromData();
  if (m_options.hasCommandLineDevice) OnRead();
}

void CLanternaDlg::RefreshFromData() {
  const CDialogData& data = m_session.Data();
  setWindowTitle(QString::fromStdString(data.Title()));
  m_deviceLine->setText(QString::fromStdString(data.DeviceLine()));
  m_status->setText(QString::fromStdString(data.StatusLine()));
  const ActionButtons buttons = m_bFirstShown ? data.Buttons() : ActionButtons{};
  m_exit->setEnabled(buttons.exit);
  m_read->setEnabled(buttons.read);
  m_write->setEnabled(buttons.write);
  m_restart->setEnabled(buttons.restart);
  m_default->setEnabled(buttons.defaults);
  m_extract->setEnabled(buttons.extract);
  m_format->setEnabled(buttons.format);
  m_comPort->setEnabled(buttons.comPort);
}

bool CLanternaDlg::ActionRunning() const { return m_running.has_value() || m_session.WorkerRunning(); }

void CLanternaDlg::OnRead() { StartAction(SessionAction::Read); }

void CLanternaDlg::OnWrite() { StartAction(SessionAction::Write); }

// Restart, Default, Extract and Format ask first; only OK starts them.
void CLanternaDlg::ConfirmAndStart(SessionAction action, const char* question) {
  if (ActionRunning()) return;
  QToolTip::hideText();
  if (ui::ShowMessage(question, 0, ui::kStyleOkCancel, {}, this) == ui::kIdOk) StartAction(action);
}

void CLanternaDlg::OnRestart() {
  ConfirmAndStart(SessionAction::Restart, "The firmware of the connected device will be started again.");
}

void CLanternaDlg::OnDefault() {
  ConfirmAndStart(SessionAction::Default,
                  "The connected device will be set back to its\nfactory default settings stored in EEPORM.");
}

void CLanternaDlg::OnExtract() {
  ConfirmAndStart(SessionAction::Extract, "The file system of the connected device will be extracted.");
}

void CLanternaDlg::OnFormat() {
  ConfirmAndStart(SessionAction::Format, "The file system of the connected device will be formated.");
}

bool CLanternaDlg::StartAction(SessionAction action) {
  if (ActionRunning() || m_session.Data().IsBusy()) return false;
  CCouplerSettingsPageBase* active = m_sheet->GetActivePage();
  if (action == SessionAction::Write) {
    if (active) active->UpdateSettings();
    if (const std::optional<ValidationFailure> failure = m_session.Pages().Commit()) {
      // The refusing page is shown with its balloon; nothing is written.
      if (CCouplerSettingsPageBase* page = Page(SectionOf(failure->key)); page && m_sheet->SetActivePage(page))
        page->ValidateSettings();
      return false;
    }
  }
  m_nActiveIndex = m_sheet->GetActiveIndex();
  m_strActiveKey = active ? active->GetSection() : "COMMON";
  if (action != SessionAction::Restart) QToolTip::hideText();
  if (active) active->ShowState(1, WaitingText(action));
  m_sheet->Freeze(true);
  m_busy->Start();
  if (active) active->SetInteractive(false);
  if (action != SessionAction::Restart)
    for (CCouplerSettingsPageModel* model : m_session.Pages().Pages()) model->SetPageUsed(false);

  auto gate = m_gate;
  ReportDispatcher dispatch = [gate](const std::function<void()>& task) {
    if (!gate->open) return;
    QMetaObject::invokeMethod(
        qApp, [&] { if (gate->open) task(); }, Qt::BlockingQueuedConnection);
  };
  m_running = action;
  if (!m_session.Start(action, *this, dispatch, [this](bool succeeded) { OnActionEnded(succeeded); })) {
    m_running.reset();
    FinishVisibleAction();
    return false;
  }
  RefreshFromData();
  return true;
}

void CLanternaDlg::ShowReport(const ReportOutcome& outcome) {
  RefreshFromData();
  for (const std::string& message : outcome.messages) ui::ShowMessage(QString::fromStdString(message), 0, ui::kStyleOk, {}, this);
  if (!outcome.actionEnded || outcome.success) return;
  ReducePages();
  if (CCouplerSettingsPageBase* active = m_sheet->GetActivePage())
    active->ShowState(0, QString::fromStdString(outcome.pageStateText));
  FinishVisibleAction();
}

void CLanternaDlg::DeviceChanged(const std::string& text) {
  ui::ShowMessage(QString::fromStdString(text), ui::kIconDeviceChanged, ui::kStyleOk, {}, this);
}

void CLanternaDlg::PollingTrace(const std::string& trace) {
  ui::ShowMessage(QString::fromStdString(trace), 0, ui::kStyleOk, {}, this);
}

void CLanternaDlg::OnActionEnded(bool succeeded) {
  const std::optional<SessionAction> action = std::exchange(m_running, std::nullopt);
  if (succeeded) {
    // The file-system actions end without a new identification: the pages take the images again.
    if (action == SessionAction::Extract || action == SessionAction::Format) {
      CDialogData& data = m_session.Data();
      m_session.Pages().Load(data.Identification(), data.DevicePages(), data.Table0(), data.Table100());
    }
    ShowDevicePages();
    if (CCouplerSettingsPageBase* active = m_sheet->GetActivePage()) {
      active->ShowState(2, QString());
      active->SetInteractive(true);
    }
  }
  FinishVisibleAction();
  RefreshFromData();
  emit ActionEnded(succeeded);
}

void CLanternaDlg::FinishVisibleAction() {
  m_sheet->Freeze(false);
  m_busy->Stop();
}

void CLanternaDlg::ShowDevicePages() {
  std::vector<CCouplerSettingsPageBase*> pages;
  for (const std::string& key : m_session.Data().ShownPageKeys())
    if (CCouplerSettingsPageBase* page = Page(key); page && page->Model().IsPageUsed()) pages.push_back(page);
  const bool samePlace = m_nActiveIndex >= 0 && m_nActiveIndex < static_cast<int>(pages.size()) &&
                         pages[static_cast<std::size_t>(m_nActiveIndex)]->GetSection() == m_strActiveKey;
  m_sheet->ReplacePages(pages, samePlace ? m_nActiveIndex : 0);
}

void CLanternaDlg::ReducePages() {
  m_session.Pages().Common().SetIdentificationTexts(m_session.Data().Identification());
  m_sheet->ReplacePages({m_common}, 0);
  m_nActiveIndex = 0;
  m_strActiveKey = "COMMON";
}

void CLanternaDlg::SettingsChanged(int flag) {
  m_session.Data().SetModified(static_cast<std::uint32_t>(flag));
  RefreshFromData();
}

int CLanternaDlg::IsModified() { return static_cast<int>(m_session.Data().IsModified()); }

void CLanternaDlg::OnPortSettings(bool saveSettings) {
  if (ActionRunning()) return;
  CPortSettingsDlg dialog(m_session.Connection(), this, m_options.ttyClass);
  if (dialog.exec() != QDialog::Accepted) return;
  if (saveSettings) m_session.Connection().SaveSettings();
  m_comPort->setText("&" + QString::fromStdString(m_session.Connection().GetSettingsValue("device")));
}

void CLanternaDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

QMenu* CLanternaDlg::MakeStatusMenu() {
  const std::string log = m_session.Data().LogText();
  if (log.empty() || log == kLogReady) return nullptr;
  auto* menu = new QMenu(this);
  menu->setObjectName("statusMenu");
  connect(ui::AddMenuCommand(*menu, "&Copy", ui::kCommandCopy), &QAction::triggered, this,
          [this] { QApplication::clipboard()->setText(QString::fromStdString(m_session.Data().LogText())); });
  ui::AddMenuCommand(*menu, "&Paste", ui::kCommandPaste, false);
  connect(ui::AddMenuCommand(*menu, "&Delete", ui::kCommandDelete), &QAction::triggered, this, [this] {
    m_session.Data().ClearLog();
    RefreshFromData();
  });
  menu->addSeparator();
  connect(ui::AddMenuCommand(*menu, "&Save", ui::kCommandSave), &QAction::triggered, this,
          [this] { SaveTextFile(this, m_session.Data().LogText()); });
  return menu;
}

void CLanternaDlg::ShowStatusMenu(const QPoint& globalPos) {
  if (QMenu* menu = MakeStatusMenu()) {
    menu->exec(globalPos);
    menu->deleteLater();
  }
}

bool CLanternaDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_status && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    ShowStatusMenu(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    return true;
  }
  if (watched == m_status && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu) {
    ShowStatusMenu(m_status->mapToGlobal(m_status->rect().center()));
    return true;
  }
  if (watched == m_write && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnWrite();
      return true;
    }
  }
  if (watched == m_deviceLine && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    OnPortSettings(false);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CLanternaDlg::contextMenuEvent(QContextMenuEvent* event) {
  // The status line has its own menu; elsewhere the entry the window menu would carry.
  if (m_status->geometry().contains(event->pos())) return;
  QMenu menu(this);
  menu.setObjectName("aboutMenu");
  connect(menu.addAction(QString("&About %1...").arg(CDialogData::kTitle)), &QAction::triggered, this,
          &CLanternaDlg::OnAbout);
  menu.exec(event->globalPos());
}

}  // namespace lanterna::gui
