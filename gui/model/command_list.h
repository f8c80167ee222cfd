// The command table: one list of the window's commands that the menus, the
// toolbar buttons and the keyboard all go through.
//
// A command has an action, an enabling rule and any number of shortcuts and
// bindings. A binding is whatever shows the command (a menu item, a toolbar
// button): Update asks every rule and tells each binding whether its
// command is enabled now, so the window calls it once after each change of
// state instead of enabling controls by hand. A command runs only while
// its rule allows it, and the bindings are updated after it ran.
#pragma once

#include <functional>
#include <vector>

namespace gui {

struct Shortcut {
  unsigned key = 0;  // virtual-key code
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool any_modifiers = false;  // matches whatever modifiers are held
};

class TCommandList {
 public:
  using Action = std::function<void()>;
  using Rule = std::function<bool()>;
  using Binding = std::function<void(bool enabled)>;

  // Adds a command; without a rule it is always enabled.
  void Add(int id, Action action, Rule enabled = nullptr);
  void AddShortcut(int id, Shortcut shortcut);
  void Bind(int id, Binding binding);

  bool Contains(int id) const { return Find(id) != nullptr; }
  bool IsEnabled(int id) const;

  // Runs the command when it exists and is enabled, then updates the
  // bindings. Returns whether it ran.
  bool Execute(int id);
  // The enabled command whose shortcut matches the key and the modifiers
  // held exactly (or any modifiers, where the shortcut says so), or 0.
  int FindShortcut(unsigned key, bool ctrl, bool shift, bool alt) const;

  // Tells every binding whether its command is enabled now.
  void Update() const;

 private:
  struct Command {
    int id;
    Action action;
    Rule enabled;
    std::vector<Shortcut> shortcuts;
    std::vector<Binding> bindings;
  };
  const Command* Find(int id) const;
  Command* Find(int id);

  std::vector<Command> commands_;
};

}  // namespace gui
