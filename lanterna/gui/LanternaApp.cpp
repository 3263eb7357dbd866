#include "gui/LanternaApp.h"

#include "app/CommandLine.h"
#include "app/Configuration.h"
#include "app/DeviceLink.h"
#include "gui/LanternaDlg.h"
#include "ui/Icons.h"
#include "ui/MessageBox.h"

namespace lanterna::gui {

namespace {

// A test build asks first: any answer but OK ends the program.
bool TestBuildAccepted(const StartupOptions& options) {
  const QString version = CDialogData::kProductVersion;
  if (options.topmost || !version.toUpper().contains("BETA")) return true;
  const QString text = QString("You are using version %1!").arg(version) +
                       "\n\nThis version is for testing purposes only.\n\nPlease contact our support team for an "
                       "actual version.";
  return ui::ShowMessage(text, ui::kIconTestBuild, ui::kStyleOkCancel) == ui::kIdOk;
}

}  // namespace

int CLanternaApp::Run(const std::vector<std::string>& arguments) {
  const StartupOptions options = ParseCommandLine(arguments);
  for (const std::string& message : options.messages) ui::ShowMessage(QString::fromStdString(message));
  if (!TestBuildAccepted(options)) return 0;

  CIniFile ini;
  ini.Load(ProgramIniPath());
  const bool hasDevice = !options.commandLineDevice.empty();
  CProgramSession session(std::move(ini),
                          MakeSerialLink(hasDevice ? std::optional(options.commandLineDevice) : std::nullopt),
                          hasDevice, options.debug);
  CLanternaDlg dialog(session, {.topmost = options.topmost, .hasCommandLineDevice = hasDevice});
  dialog.exec();
  return 0;
}

}  // namespace lanterna::gui
