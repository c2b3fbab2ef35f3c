#pragma once
// The one error type the system raises. It carries the exact message text that the user sees in
// the error report; nothing catches it on the way unless a behaviour says so.

#include <stdexcept>
#include <string>

namespace dustmere {

class Exception : public std::runtime_error {
public:
  explicit Exception(std::wstring message);

  const std::wstring& Message() const noexcept { return FMessage; }

private:
  std::wstring FMessage;
};

}  // namespace dustmere
