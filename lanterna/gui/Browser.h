#pragma once

#include <QString>

namespace lanterna::gui {

// Opens the address in the PC's browser.
void OpenInBrowser(const QString& url);

// The seam for tests: once intercepted, addresses are kept instead of opened.
namespace browser_seam {
void Intercept();
QString LastUrl();
}  // namespace browser_seam

}  // namespace lanterna::gui
