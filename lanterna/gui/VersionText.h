#pragma once

#include <QString>

namespace lanterna::gui {

// The version line: a text that names itself ("... BETA", "RELEASE CANDIDATE ...",
// "VERSION ...") as it is, any other with "Version " in front.
QString VersionLine(const QString& productVersion);

}  // namespace lanterna::gui
