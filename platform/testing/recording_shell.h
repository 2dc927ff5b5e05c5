#pragma once

// A shell for tests: records every program start instead of starting it.

#include <string>
#include <vector>

#include "platform/shell.h"

namespace platform::testing {

class RecordingShell : public Shell {
 public:
  struct Call {
    std::string program;
    std::string parameter;
    friend bool operator==(const Call&, const Call&) = default;
  };

  // Records the call and answers the configured result (true by default).
  bool Open(const std::string& program, const std::string& parameter) override;

  void SetResult(bool result) { result_ = result; }
  const std::vector<Call>& Calls() const { return calls_; }

 private:
  bool result_ = true;
  std::vector<Call> calls_;
};

}  // namespace platform::testing
