#include "gui/model/command_list.h"

namespace gui {

void TCommandList::Add(int id, Action action, Rule enabled) {
  if (Command* existing = Find(id)) {
    existing->action = std::move(action);
    existing->enabled = std::move(enabled);
    return;
  }
  commands_.push_back(Command{id, std::move(action), std::move(enabled), {}, {}});
}

void TCommandList::AddShortcut(int id, Shortcut shortcut) {
  if (Command* command = Find(id)) command->shortcuts.push_back(shortcut);
}

void TCommandList::Bind(int id, Binding binding) {
  Command* command = Find(id);
  if (!command) return;
  binding(IsEnabled(id));
  command->bindings.push_back(std::move(binding));
}

bool TCommandList::IsEnabled(int id) const {
  const Command* command = Find(id);
  return command && (!command->enabled || command->enabled());
}

bool TCommandList::Execute(int id) {
  if (!IsEnabled(id)) return false;
  // The action may add commands, so it runs from a copy.
  const Action action = Find(id)->action;
  if (action) action();
  Update();
  return true;
}

int TCommandList::FindShortcut(unsigned key, bool ctrl, bool shift, bool alt) const {
  for (const Command& command : commands_) {
    for (const Shortcut& s : command.shortcuts) {
      if (s.key != key) continue;
      if (!s.any_modifiers && (s.ctrl != ctrl || s.shift != shift || s.alt != alt)) continue;
      if (IsEnabled(command.id)) return command.id;
    }
  }
  return 0;
}

void TCommandList::Update() const {
  for (const Command& command : commands_) {
    const bool enabled = !command.enabled || command.enabled();
    for (const Binding& binding : command.bindings) binding(enabled);
  }
}

const TCommandList::Command* TCommandList::Find(int id) const {
  for (const Command& command : commands_) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

TCommandList::Command* TCommandList::Find(int id) {
  return const_cast<Command*>(static_cast<const TCommandList*>(this)->Find(id));
}

}  // namespace gui
