#pragma once

#include <QAction>
#include <QMenu>

namespace lanterna::ui {

// The edit commands of the program's context menus.
inline constexpr int kCommandCopy = 32786;
inline constexpr int kCommandPaste = 32787;
inline constexpr int kCommandDelete = 32788;
inline constexpr int kCommandSave = 57603;

// A menu entry that carries its command id, enabled or greyed.
inline QAction* AddMenuCommand(QMenu& menu, const char* text, int command, bool enabled = true) {
  QAction* action = menu.addAction(text);
  action->setData(command);
  action->setEnabled(enabled);
  return action;
}

}  // namespace lanterna::ui
