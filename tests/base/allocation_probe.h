#pragma once
// Records the largest single operator-new request made while a probe is
// alive, so tests can tell that hostile lengths do not reach the allocator.
#include <cstddef>

namespace lmv::test {

class AllocationProbe {
 public:
  AllocationProbe();
  ~AllocationProbe();
  AllocationProbe(const AllocationProbe&) = delete;
  AllocationProbe& operator=(const AllocationProbe&) = delete;
  std::size_t largest() const;
};

}  // namespace lmv::test
