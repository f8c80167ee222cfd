#include "util/byte_sink.h"

namespace util {

bool MemorySink::Write(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + size);
  return true;
}

bool FailingSink::Write(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  size_t room = limit_ > bytes_.size() ? limit_ - bytes_.size() : 0;
  size_t taken = size < room ? size : room;
  bytes_.insert(bytes_.end(), p, p + taken);
  if (forward_ && taken > 0 && !forward_->Write(p, taken)) return false;
  return taken == size;
}

}  // namespace util
