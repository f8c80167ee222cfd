// The error that a command raises to end itself with a message. The
// application's default error display shows it in a box captioned with the
// application's title, and the program goes on.
#pragma once

#include <stdexcept>
#include <string>

namespace gui {

class Error : public std::runtime_error {
 public:
  explicit Error(std::wstring message) : std::runtime_error("tamsel error"), message_(std::move(message)) {}
  const std::wstring& message() const { return message_; }

 private:
  std::wstring message_;
};

}  // namespace gui
