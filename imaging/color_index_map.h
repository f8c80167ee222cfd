// A small open-addressing map from a 24-bit colour to a palette index, for
// the colour analysis and the 8-bit mapping: at most a few hundred colours,
// looked up once per pixel, so a linear search would dominate the encoder.
#pragma once

#include <array>
#include <cstdint>

namespace imaging {

class ColorIndexMap {
 public:
  ColorIndexMap() { keys_.fill(kEmpty); }

  // Index stored for the colour, or -1.
  int Find(uint32_t color) const {
    for (uint32_t slot = Hash(color);; slot = (slot + 1) & kMask) {
      if (keys_[slot] == color) return values_[slot];
      if (keys_[slot] == kEmpty) return -1;
    }
  }
  // Stores the colour with its index unless it is there already (the first
  // index wins) or the map is full; returns whether it was stored.
  bool Insert(uint32_t color, int index) {
    if (count_ >= kMaxCount) return false;
    for (uint32_t slot = Hash(color);; slot = (slot + 1) & kMask) {
      if (keys_[slot] == color) return false;
      if (keys_[slot] == kEmpty) {
        keys_[slot] = color;
        values_[slot] = static_cast<int16_t>(index);
        ++count_;
        return true;
      }
    }
  }

 private:
  static constexpr uint32_t kSlots = 512;
  static constexpr uint32_t kMask = kSlots - 1;
  static constexpr int kMaxCount = 384;            // a palette and its system colours fit with room to spare
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // never a 24-bit colour
  static uint32_t Hash(uint32_t color) { return (color * 2654435761u) >> 23; }

  std::array<uint32_t, kSlots> keys_;
  std::array<int16_t, kSlots> values_{};
  int count_ = 0;
};

}  // namespace imaging
