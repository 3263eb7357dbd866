#pragma once

#include <QIcon>
#include <QString>

namespace lanterna::ui {

// Icons by the resource ids the program names them with: our own SVGs in lanterna/res/icons,
// Qt's standard icons where we have none.
enum IconId : int {
  kIconMain = 128,
  kIconDuplexWarning = 139,
  kIconComPort = 238,
  kIconExit = 227,
  kIconRead = 234,
  kIconWrite = 235,
  kIconFormat = 243,
  kIconExtract = 244,
  kIconDefault = 245,
  kIconRestart = 246,
  kIconDeviceChanged = 307,
  kIconQuestion = 308,
  kIconMessage = 311,
  kIconTestBuild = 312,
  kIconWarning = 900,   // the balloon's
  kIconDevice = 1168,   // the Common page's picture before the first identification
  kIconSynchronize = 1003,
  kIconGridBusy = 1941,   // image 1 of the Common page's grid
  kIconGridError = 1943,  // image 3
};

// The rich-text image source of an icon; a Qt resource path.
QString IconPath(int id);
QIcon ResourceIcon(int id);

}  // namespace lanterna::ui
