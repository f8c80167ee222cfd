// Byte sinks: where encoders put their output.
//
// Every encoder writes through ByteSink::Write, which reports failure, so a
// format's core never knows whether it is filling a buffer, a memo file or a
// file on a full disk. A sink that has failed once stays failed: the caller
// checks the first false and stops.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace util {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Appends size bytes; false when not all of them could be stored.
  virtual bool Write(const void* data, size_t size) = 0;
};

// Collects everything in memory.
class MemorySink : public ByteSink {
 public:
  bool Write(const void* data, size_t size) override;
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // Empties it for the next file, keeping the memory.
  void Clear() { bytes_.clear(); }
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

// Accepts the first `limit` bytes and fails every write that would go past
// them (storing the part that still fits, as a full disk does). What it
// accepts is kept, and passed on to `forward` when one is given. Tests use it
// to make a writer fail at every possible point.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(size_t limit, ByteSink* forward = nullptr) : limit_(limit), forward_(forward) {}
  bool Write(const void* data, size_t size) override;
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  size_t limit_;
  ByteSink* forward_;
  std::vector<uint8_t> bytes_;
};

// Little-endian helpers for building on-disk structures byte by byte.
inline void PutLE16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLE32(uint8_t* p, uint32_t v) {
  PutLE16(p, v & 0xFFFF);
  PutLE16(p + 2, v >> 16);
}

}  // namespace util
