#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace lanterna::ui {

// The save dialog for a text file ("Text File (*.txt)", default extension "txt", asks before
// overwriting), opened in the folder. Nothing when the user cancels.
std::optional<QString> AskTextFileToSave(QWidget* parent, const QString& folder);

// The seam for tests: the next dialog is not shown and answers this path (empty: Cancel).
namespace file_dialog_seam {
void SetNextFileName(const QString& path);
}

}  // namespace lanterna::ui
