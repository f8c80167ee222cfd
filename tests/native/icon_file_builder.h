// Builds small but complete PE, NE and icon files in memory, and records
// where their fields sit so that tests can damage exactly one of them.
//
// The PE has one section (.rsrc, raw data at 0x200, address 0x1000) with a
// resource tree root -> {RT_ICON, RT_GROUP_ICON} -> ids 1..n -> one
// language -> data entry; group i holds icon i. The NE mirrors the layout
// the fixture generator writes. Images are small valid DIBs or PNGs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace icon_builder {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, size_t at, uint16_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}
inline void Append16(Bytes& b, uint16_t v) { Put16(b, b.size(), v); }
inline void Append32(Bytes& b, uint32_t v) { Put32(b, b.size(), v); }
inline void AppendBe32(Bytes& b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back((v >> (8 * i)) & 0xFF);
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
inline void PadTo(Bytes& b, size_t unit) {
  while (b.size() % unit) b.push_back(0);
}

// A w x h icon image at 32 bits per pixel with its AND mask.
inline Bytes Dib(int w, int h, uint8_t seed = 0) {
  Bytes b;
  Append32(b, 40);
  Append32(b, w);
  Append32(b, 2 * h);
  Append16(b, 1);
  Append16(b, 32);
  for (int i = 0; i < 6; ++i) Append32(b, 0);
  for (int i = 0; i < w * h; ++i) Append32(b, 0xFF000000u | (seed * 0x010203u + i));
  const int mask_stride = ((w + 31) / 32) * 4;
  b.resize(b.size() + mask_stride * h, 0);
  return b;
}

inline uint32_t Crc(const uint8_t* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

inline void AppendChunk(Bytes& b, const char* type, const Bytes& body) {
  AppendBe32(b, static_cast<uint32_t>(body.size()));
  size_t start = b.size();
  b.insert(b.end(), type, type + 4);
  Append(b, body);
  AppendBe32(b, Crc(b.data() + start, b.size() - start));
}

// An RGBA PNG; the image data is a zlib stream of stored blocks, so no
// compressor is needed.
inline Bytes Png(int w, int h) {
  Bytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      raw.push_back(x * 8);
      raw.push_back(y * 8);
      raw.push_back(0x40);
      raw.push_back(0xFF);
    }
  }
  Bytes z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = std::min<size_t>(raw.size() - pos, 65535);
    bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    Append16(z, static_cast<uint16_t>(n));
    Append16(z, static_cast<uint16_t>(~n));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, s = 0;
  for (uint8_t c : raw) {
    a = (a + c) % 65521;
    s = (s + a) % 65521;
  }
  AppendBe32(z, (s << 16) | a);

  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  AppendBe32(ihdr, w);
  AppendBe32(ihdr, h);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  AppendChunk(b, "IHDR", ihdr);
  AppendChunk(b, "IDAT", z);
  AppendChunk(b, "IEND", {});
  return b;
}

struct IcoLayout {
  Bytes bytes;
  std::vector<size_t> entries;  // offset of each 16-byte directory entry
};

inline IcoLayout Ico(const std::vector<Bytes>& images) {
  IcoLayout out;
  Bytes& b = out.bytes;
  Append16(b, 0);
  Append16(b, 1);
  Append16(b, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const Bytes& img : images) {
    out.entries.push_back(b.size());
    b.insert(b.end(), {16, 16, 0, 0});
    Append16(b, 1);
    Append16(b, 32);
    Append32(b, static_cast<uint32_t>(img.size()));
    Append32(b, offset);
    offset += static_cast<uint32_t>(img.size());
  }
  for (const Bytes& img : images) Append(b, img);
  return out;
}

inline Bytes GroupFor(uint16_t icon_id, uint32_t image_size) {
  Bytes g;
  Append16(g, 0);
  Append16(g, 1);
  Append16(g, 1);
  g.insert(g.end(), {16, 16, 0, 0});
  Append16(g, 1);
  Append16(g, 32);
  Append32(g, image_size);
  Append16(g, icon_id);
  return g;
}

// A group of several images: entry k names icon ids[k], with a description
// made from the id so that every entry differs.
inline Bytes GroupOf(const std::vector<uint16_t>& ids, const std::vector<Bytes>& images) {
  Bytes g;
  Append16(g, 0);
  Append16(g, 1);
  Append16(g, static_cast<uint16_t>(ids.size()));
  for (uint16_t id : ids) {
    g.insert(g.end(), {static_cast<uint8_t>(id * 3), static_cast<uint8_t>(id * 5), static_cast<uint8_t>(id), 0});
    Append16(g, 1);
    Append16(g, 32);
    Append32(g, id >= 1 && id <= images.size() ? static_cast<uint32_t>(images[id - 1].size()) : 0);
    Append16(g, id);
  }
  return g;
}

// Group i of a file: the given groups' icon ids, or else icon i alone.
inline Bytes GroupData(const std::vector<std::vector<uint16_t>>& groups, const std::vector<Bytes>& images, size_t i) {
  if (!groups.empty()) return GroupOf(groups[i], images);
  return GroupFor(static_cast<uint16_t>(i + 1), static_cast<uint32_t>(images[i].size()));
}

struct PeLayout {
  Bytes bytes;
  size_t new_header = 64;
  size_t optional_header = 0;
  size_t resource_directory_field = 0;  // the data directory entry (rva, size)
  size_t section = 0;                   // the .rsrc section header
  size_t root = 0;                      // file offset of the resource root
  size_t group_type_directory = 0;
  std::vector<size_t> group_data_entries, icon_data_entries;  // 16-byte data entries
  std::vector<size_t> group_data, icon_data;                  // the data itself
};

// A PE (PE32, or PE32+ when plus) with one icon group per image, or with
// the groups given (each a list of icon ids; icon i + 1 is images[i]).
inline PeLayout Pe(const std::vector<Bytes>& images, bool plus = false,
                   const std::vector<std::vector<uint16_t>>& groups = {}) {
  PeLayout L;
  const uint32_t kRaw = 0x200, kVa = 0x1000;
  const size_t counts[2] = {images.size(), groups.empty() ? images.size() : groups.size()};
  Bytes& b = L.bytes;
  b.assign(kRaw, 0);
  Put16(b, 0, 0x5A4D);
  Put32(b, 0x3C, 64);
  Put32(b, 64, 0x00004550);
  const uint16_t optional_size = plus ? 240 : 224;
  Put16(b, 68, plus ? 0x8664 : 0x14C);
  Put16(b, 70, 1);
  Put16(b, 84, optional_size);
  Put16(b, 86, 0x2102);
  L.optional_header = 88;
  Put16(b, 88, plus ? 0x20B : 0x10B);
  Put32(b, 88 + 60, kRaw);               // size of headers
  Put32(b, 88 + (plus ? 108 : 92), 16);  // number of data directories
  L.resource_directory_field = 88 + (plus ? 112 : 96) + 16;
  L.section = 88 + optional_size;

  // Resource tree, laid out in one block starting at the root.
  Bytes r;
  auto directory = [&r](uint16_t ids) {
    size_t at = r.size();
    r.resize(at + 16, 0);
    Put16(r, at + 14, ids);
    r.resize(r.size() + 8 * ids, 0);
    return at;
  };
  size_t root = directory(2);
  size_t types[2] = {directory(static_cast<uint16_t>(counts[0])), directory(static_cast<uint16_t>(counts[1]))};
  const uint32_t type_ids[2] = {3, 14};
  std::vector<size_t> data_entries[2];
  for (int t = 0; t < 2; ++t) {
    Put32(r, root + 16 + 8 * t, type_ids[t]);
    Put32(r, root + 16 + 8 * t + 4, 0x80000000u | static_cast<uint32_t>(types[t]));
    for (size_t i = 0; i < counts[t]; ++i) {
      size_t names = directory(1);
      Put32(r, types[t] + 16 + 8 * i, static_cast<uint32_t>(i + 1));
      Put32(r, types[t] + 16 + 8 * i + 4, 0x80000000u | static_cast<uint32_t>(names));
      size_t entry = r.size();
      r.resize(entry + 16, 0);
      Put32(r, names + 16, 0x409);
      Put32(r, names + 16 + 4, static_cast<uint32_t>(entry));
      data_entries[t].push_back(entry);
    }
  }
  L.group_type_directory = kRaw + types[1];
  for (int t = 0; t < 2; ++t) {
    for (size_t i = 0; i < counts[t]; ++i) {
      PadTo(r, 4);
      Bytes data = t == 0 ? images[i] : GroupData(groups, images, i);
      size_t at = r.size();
      Append(r, data);
      Put32(r, data_entries[t][i], kVa + static_cast<uint32_t>(at));
      Put32(r, data_entries[t][i] + 4, static_cast<uint32_t>(data.size()));
      (t == 0 ? L.icon_data : L.group_data).push_back(kRaw + at);
      (t == 0 ? L.icon_data_entries : L.group_data_entries).push_back(kRaw + data_entries[t][i]);
    }
  }
  // Group data comes last, so cutting the file always cuts referenced data.
  L.root = kRaw;
  Append(b, r);
  memcpy(b.data() + L.section, ".rsrc\0\0\0", 8);
  Put32(b, L.section + 8, static_cast<uint32_t>(r.size()));
  Put32(b, L.section + 12, kVa);
  Put32(b, L.section + 16, static_cast<uint32_t>(r.size()));
  Put32(b, L.section + 20, kRaw);
  Put32(b, L.resource_directory_field, kVa);
  Put32(b, L.resource_directory_field + 4, static_cast<uint32_t>(r.size()));
  return L;
}

struct NeLayout {
  Bytes bytes;
  size_t new_header = 64;
  size_t table = 0;                             // resource table (its first word is the alignment shift)
  std::vector<size_t> icon_names, group_names;  // 12-byte name records
};

inline NeLayout Ne(const std::vector<Bytes>& images, const std::vector<std::vector<uint16_t>>& groups = {}) {
  NeLayout L;
  const uint16_t shift = 4;
  const size_t counts[2] = {images.size(), groups.empty() ? images.size() : groups.size()};
  Bytes& b = L.bytes;
  b.assign(128, 0);
  Put16(b, 0, 0x5A4D);
  Put32(b, 0x3C, 64);
  Put16(b, 64, 0x454E);
  const size_t table_rel = 64;
  L.table = 64 + table_rel;
  Bytes t;
  Append16(t, shift);
  std::vector<size_t> names[2];
  const uint16_t type_ids[2] = {0x8003, 0x800E};
  for (int k = 0; k < 2; ++k) {
    Append16(t, type_ids[k]);
    Append16(t, static_cast<uint16_t>(counts[k]));
    Append32(t, 0);
    for (size_t i = 0; i < counts[k]; ++i) {
      names[k].push_back(L.table + t.size());
      t.resize(t.size() + 12, 0);
    }
  }
  Append16(t, 0);
  t.push_back(0);
  const size_t resident = table_rel + t.size();
  Put16(b, 64 + 0x24, static_cast<uint16_t>(table_rel));
  Put16(b, 64 + 0x26, static_cast<uint16_t>(resident));
  Append(b, t);
  b.insert(b.end(), {4, 'T', 'E', 'S', 'T', 0, 0, 0});
  std::vector<Bytes> blobs[2];
  blobs[0] = images;
  for (size_t i = 0; i < counts[1]; ++i) blobs[1].push_back(GroupData(groups, images, i));
  // Groups first, icons last.
  for (int k : {1, 0}) {
    for (size_t i = 0; i < counts[k]; ++i) {
      PadTo(b, 1u << shift);
      const size_t at = b.size();
      Append(b, blobs[k][i]);
      const size_t name = names[k][i];
      Put16(b, name, static_cast<uint16_t>(at >> shift));
      Put16(b, name + 2, static_cast<uint16_t>((blobs[k][i].size() + 15) >> shift));
      Put16(b, name + 4, 0x30);
      Put16(b, name + 6, static_cast<uint16_t>(0x8000 | (i + 1)));
    }
  }
  PadTo(b, 1u << shift);
  L.icon_names = names[0];
  L.group_names = names[1];
  return L;
}

// The file with one to four random edits, each a byte set to a random value
// or to 0xFF, or the file cut there.
inline Bytes RandomlyDamaged(Bytes b, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits; ++e) {
    const size_t at = rng() % b.size();
    switch (rng() % 3) {
      case 0: b[at] = static_cast<uint8_t>(rng()); break;
      case 1: b[at] = 0xFF; break;
      default: b.resize(std::max<size_t>(at, 1)); break;
    }
  }
  return b;
}

}  // namespace icon_builder
