#pragma once

#include <string>

class QWidget;

namespace lanterna::gui {

// Saves a text (the log, the identification) where the user chooses, starting in the folder
// used last ("Folder"/"MyDocuments"), by default the documents folder + "ORLA Software/ORLA
// Lanterna", the documents folder itself when that does not exist. The folder chosen is kept.
// Nothing happens for an empty text or when the user cancels; a failure is shown.
void SaveTextFile(QWidget* parent, const std::string& text);

// The folder the save dialog starts in.
std::string SaveFolder();

}  // namespace lanterna::gui
