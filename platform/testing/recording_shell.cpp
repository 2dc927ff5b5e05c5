#include "platform/testing/recording_shell.h"

namespace platform::testing {

bool RecordingShell::Open(const std::string& program, const std::string& parameter) {
  calls_.push_back({program, parameter});
  return result_;
}

}  // namespace platform::testing
