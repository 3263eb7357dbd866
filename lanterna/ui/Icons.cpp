#include "ui/Icons.h"

#include <QApplication>
#include <QFile>
#include <QStyle>

namespace lanterna::ui {

namespace {

QStyle::StandardPixmap StandardFallback(int id) {
  switch (id) {
    case kIconDeviceChanged:
    case kIconTestBuild:
    case kIconWarning:
    case kIconDuplexWarning:
    case kIconGridError:
      return QStyle::SP_MessageBoxWarning;
    case kIconQuestion:
      return QStyle::SP_MessageBoxQuestion;
    default:
      return QStyle::SP_MessageBoxInformation;
  }
}

}  // namespace

QString IconPath(int id) { return QString(":/lanterna/icons/%1.svg").arg(id); }

QIcon ResourceIcon(int id) {
  const QString path = IconPath(id);
  if (QFile::exists(path)) return QIcon(path);
  return QApplication::style()->standardIcon(StandardFallback(id));
}

}  // namespace lanterna::ui
