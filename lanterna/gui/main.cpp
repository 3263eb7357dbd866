#include <QApplication>
#include <string>
#include <vector>

#include "gui/LanternaApp.h"
#include "ui/Icons.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("ORLA Lanterna");
  QApplication::setWindowIcon(lanterna::ui::ResourceIcon(lanterna::ui::kIconMain));
  return lanterna::gui::CLanternaApp::Run(std::vector<std::string>(argv + 1, argv + argc));
}
