// The command table on the window layer: what shows a command (a menu item,
// a control, a window) follows its enabled state, and a key runs the
// command whose shortcut it is.
#pragma once

#include <windows.h>

#include "gui/control.h"
#include "gui/model/command_list.h"

namespace gui {

inline void BindMenuItem(gui::TCommandList& commands, int id, HMENU menu) {
  commands.Bind(id, [menu, id](bool enabled) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  });
}

inline void BindControl(gui::TCommandList& commands, int id, TGraphicControl& control) {
  commands.Bind(id, [&control](bool enabled) { control.SetEnabled(enabled); });
}

inline void BindWindow(gui::TCommandList& commands, int id, HWND window) {
  commands.Bind(id, [window](bool enabled) { EnableWindow(window, enabled); });
}

// For a form's key preview: runs the command whose shortcut the key is;
// true when one ran.
inline bool ExecuteShortcut(gui::TCommandList& commands, UINT key, bool ctrl, bool shift, bool alt) {
  const int id = commands.FindShortcut(key, ctrl, shift, alt);
  return id != 0 && commands.Execute(id);
}

}  // namespace gui
