#include "platform/testing/sequence_guid_source.h"

namespace platform::testing {

Guid SequenceGuidSource::Next() {
  if (next_ < guids_.size()) {
    last_ = guids_[next_++];
    return last_;
  }
  // Count on from the last GUID so that every call still yields a new one.
  for (auto it = last_.bytes.rbegin(); it != last_.bytes.rend(); ++it) {
    if (++*it != 0) break;
  }
  return last_;
}

}  // namespace platform::testing
