#include "gui/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSysInfo>

#include "Common/ModuleVersion.h"
#include "app/Configuration.h"
#include "app/DialogData.h"
#include "gui/VersionText.h"
#include "ui/Icons.h"

namespace lanterna::gui {

namespace {

QLabel* Line(const QString& text, const QString& name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

QString CAboutDlg::ModuleLines(const QString& programVersion, const QString& libraryVersion) {
  QString lines = "LANTERNA.EXE:  " + programVersion + "\r\n";
  if (!libraryVersion.isEmpty()) lines += "FENNEC.DLL\t:  " + libraryVersion + "\r\n";
  return lines;
}

QString CAboutDlg::SystemLines() {
  return QSysInfo::prettyProductName() + "\r\n" +
         QString("%1 %2 (%3)").arg(QSysInfo::kernelType(), QSysInfo::kernelVersion(),
                                   QSysInfo::currentCpuArchitecture()) +
         "\r\n" + QSysInfo::machineHostName();
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  // String 101 "&About %s..." without its "&" and "...".
  setWindowTitle(QString("&About %1...").arg(CDialogData::kTitle).remove('&').remove("..."));
  setObjectName("about");
  auto* icon = new QLabel(this);
  icon->setPixmap(ui::ResourceIcon(ui::kIconMain).pixmap(64, 64));
  icon->setAlignment(Qt::AlignTop);
  QLabel* product = Line(CDialogData::kTitle, "product", this);
  QFont big = product->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  product->setFont(big);
  const QString libraryVersion = QString::fromStdString(
      ModuleVersionText(fennec::LibraryFileVersion(), fennec::LibraryBuildDate()));
  // Tabs do not align in a label: the module lines keep their text, shown with blanks.
  const QString modules = ModuleLines(QString::fromStdString(ProgramVersionText()), libraryVersion);
  QLabel* moduleLines = Line(QString(modules).replace('\t', "  ").replace("\r\n", "\n").trimmed(), "modules", this);
  moduleLines->setProperty("moduleText", modules);
  QLabel* system = Line(SystemLines().replace("\r\n", "\n"), "system", this);
  QPalette grey = system->palette();
  grey.setColor(QPalette::WindowText, grey.color(QPalette::Disabled, QPalette::WindowText));
  system->setPalette(grey);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->setHorizontalSpacing(16);
  layout->addWidget(icon, 0, 0, 5, 1);
  layout->addWidget(product, 0, 1);
  layout->addWidget(Line(VersionLine(CDialogData::kProductVersion), "version", this), 1, 1);
  layout->addWidget(moduleLines, 2, 1);
  layout->addWidget(system, 3, 1);
  layout->addWidget(Line("ORLA Software", "contact", this), 4, 1);
  layout->addWidget(buttons, 5, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace lanterna::gui
