#pragma once

// A GUID source for tests: hands out the given GUIDs in order, then
// counts on from the last one (incrementing its final byte).

#include <cstddef>
#include <vector>

#include "platform/guids.h"

namespace platform::testing {

class SequenceGuidSource : public GuidSource {
 public:
  explicit SequenceGuidSource(std::vector<Guid> guids) : guids_(std::move(guids)) {}
  Guid Next() override;

 private:
  std::vector<Guid> guids_;
  std::size_t next_ = 0;
  Guid last_{};
};

}  // namespace platform::testing
