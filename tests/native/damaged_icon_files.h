// Damaged icon-bearing files, each broken the way that has taken a
// reader of icons down with it or could: a table shared by the structural
// check's own tests and the end-to-end runs of the native programs, which
// must refuse every one of them cleanly.
#pragma once

#include <functional>
#include <vector>

#include "icon_file_builder.h"
#include "imaging/icon_file_check.h"

namespace icon_cases {

using icon_builder::Bytes;
using icon_builder::Put16;
using icon_builder::Put32;
using imaging::IconFileFormat;

inline std::vector<Bytes> ThreeImages() {
  return {icon_builder::Dib(16, 16, 1), icon_builder::Png(16, 16), icon_builder::Dib(8, 8, 2)};
}

struct DamageCase {
  const char* name;
  std::function<Bytes()> make;
  IconFileFormat format;
};

inline icon_builder::PeLayout GoodPe() { return icon_builder::Pe(ThreeImages()); }
inline icon_builder::NeLayout GoodNe() {
  return icon_builder::Ne({icon_builder::Dib(16, 16), icon_builder::Dib(32, 32)});
}
inline icon_builder::IcoLayout GoodIco() { return icon_builder::Ico(ThreeImages()); }

template <typename Layout, typename Edit>
std::function<Bytes()> Damage(Layout (*make)(), Edit edit) {
  return [make, edit] {
    Layout L = make();
    edit(L);
    return L.bytes;
  };
}

// Every case: a name, the file's bytes and the kind of file it claims to be.
inline std::vector<DamageCase> DamagedIconFiles() {
  using PL = icon_builder::PeLayout;
  using NL = icon_builder::NeLayout;
  using IL = icon_builder::IcoLayout;
  return {
      {"PE cut in half", Damage(GoodPe, [](PL& L) { L.bytes.resize(L.bytes.size() / 2); }), IconFileFormat::kPe},
      {"PE cut inside the headers", Damage(GoodPe, [](PL& L) { L.bytes.resize(100); }), IconFileFormat::kPe},
      {"MZ header cut short", Damage(GoodPe, [](PL& L) { L.bytes.resize(40); }), IconFileFormat::kPe},
      {"new header offset at the very end", Damage(GoodPe, [](PL& L) { Put32(L.bytes, 0x3C, L.bytes.size() - 2); }),
       IconFileFormat::kPe},
      {"section table past the end", Damage(GoodPe, [](PL& L) { Put16(L.bytes, 70, 0x4000); }), IconFileFormat::kPe},
      {"resource section raw data past the end",
       Damage(GoodPe, [](PL& L) { Put32(L.bytes, L.section + 20, L.bytes.size() + 0x10000); }), IconFileFormat::kPe},
      {"resource directory mapped past the end",
       Damage(GoodPe,
              [](PL& L) {
                Put32(L.bytes, L.section + 16, 0x100000);
                Put32(L.bytes, L.resource_directory_field, 0x1000 + 0x80000);
              }),
       IconFileFormat::kPe},
      {"root claims 65535 entries", Damage(GoodPe, [](PL& L) { Put16(L.bytes, L.root + 14, 0xFFFF); }),
       IconFileFormat::kPe},
      {"icon group claims 65535 entries", Damage(GoodPe, [](PL& L) { Put16(L.bytes, L.group_data[0] + 4, 0xFFFF); }),
       IconFileFormat::kPe},
      {"group type directory claims 65535 entries",
       Damage(GoodPe, [](PL& L) { Put16(L.bytes, L.group_type_directory + 14, 0xFFFF); }), IconFileFormat::kPe},
      {"group data address outside every section",
       Damage(GoodPe, [](PL& L) { Put32(L.bytes, L.group_data_entries[1], 0x7FFFFFF0); }), IconFileFormat::kPe},
      {"icon size past the end", Damage(GoodPe, [](PL& L) { Put32(L.bytes, L.icon_data_entries[0] + 4, 0x7FFFFFF0); }),
       IconFileFormat::kPe},
      {"icon group size past the end",
       Damage(GoodPe, [](PL& L) { Put32(L.bytes, L.group_data_entries[2] + 4, 0x100000); }), IconFileFormat::kPe},
      {"group directory offset past the end",
       Damage(GoodPe, [](PL& L) { Put32(L.bytes, L.root + 16 + 8 + 4, 0xFFFFFFF0); }), IconFileFormat::kPe},
      {"PNG icon cut short inside its size",
       Damage(GoodPe, [](PL& L) { Put32(L.bytes, L.icon_data_entries[1] + 4, 40); }), IconFileFormat::kPe},
      {"NE icon offset past the end", Damage(GoodNe, [](NL& L) { Put16(L.bytes, L.icon_names[0], 0xFFF0); }),
       IconFileFormat::kNe},
      {"NE group offset past the end", Damage(GoodNe, [](NL& L) { Put16(L.bytes, L.group_names[1], 0xFFF0); }),
       IconFileFormat::kNe},
      {"NE group claims 65535 entries",
       Damage(GoodNe,
              [](NL& L) {
                const size_t group = size_t{uint16_t(L.bytes[L.group_names[0]] | L.bytes[L.group_names[0] + 1] << 8)}
                                     << 4;
                Put16(L.bytes, group + 4, 0xFFFF);
              }),
       IconFileFormat::kNe},
      {"NE type count runs off the end", Damage(GoodNe, [](NL& L) { Put16(L.bytes, L.table + 4, 0xFFFF); }),
       IconFileFormat::kNe},
      {"NE resource table without an end",
       Damage(GoodNe,
              [](NL& L) {
                // Replace the terminator by a type that is neither icon kind and
                // runs up to the last bytes of the file.
                const size_t end = L.table + 2 + 2 * (8 + 2 * 12);
                Put16(L.bytes, end, 0x8001);
                Put16(L.bytes, end + 2, 0);
                L.bytes.resize(end + 6);
              }),
       IconFileFormat::kNe},
      {"NE resource table past the end, resident names before it",
       Damage(GoodNe, [](NL& L) { Put16(L.bytes, 64 + 0x24, 0x7940); }), IconFileFormat::kNe},
      {"NE alignment shift huge", Damage(GoodNe, [](NL& L) { Put16(L.bytes, L.table, 30); }), IconFileFormat::kNe},
      {"NE header cut short", Damage(GoodNe, [](NL& L) { L.bytes.resize(64 + 30); }), IconFileFormat::kNe},
      {"NE resource table past the end",
       Damage(GoodNe,
              [](NL& L) {
                Put16(L.bytes, 64 + 0x24, 0xFF00);
                Put16(L.bytes, 64 + 0x26, 0xFFF0);
              }),
       IconFileFormat::kNe},
      {"icon file: 65535 images in 22 bytes",
       [] {
         Bytes b = GoodIco().bytes;
         Put16(b, 4, 0xFFFF);
         b.resize(22);
         return b;
       },
       IconFileFormat::kIco},
      {"icon file: image offset 0x7ffffff0",
       Damage(GoodIco, [](IL& L) { Put32(L.bytes, L.entries[0] + 12, 0x7FFFFFF0); }), IconFileFormat::kIco},
      {"icon file: image size 0x7ffffff0", Damage(GoodIco, [](IL& L) { Put32(L.bytes, L.entries[2] + 8, 0x7FFFFFF0); }),
       IconFileFormat::kIco},
      {"icon file: offset plus size wraps",
       Damage(GoodIco,
              [](IL& L) {
                Put32(L.bytes, L.entries[0] + 12, 0xFFFFFF00);
                Put32(L.bytes, L.entries[0] + 8, 0x200);
              }),
       IconFileFormat::kIco},
      {"icon file: truncated PNG",
       [] {
         Bytes b = icon_builder::Ico({icon_builder::Png(16, 16)}).bytes;
         b.resize(6 + 16 + 40);
         return b;
       },
       IconFileFormat::kIco},
      {"icon file: PNG cut with its size",
       [] {
         Bytes b = icon_builder::Ico({icon_builder::Png(16, 16)}).bytes;
         b.resize(6 + 16 + 40);
         Put32(b, 6 + 8, 40);
         return b;
       },
       IconFileFormat::kIco},
      {"icon file: bitmap header larger than the image",
       Damage(GoodIco,
              [](IL& L) {
                const size_t image = L.bytes[L.entries[0] + 12] | L.bytes[L.entries[0] + 13] << 8;
                Put32(L.bytes, image, 0x10000);
              }),
       IconFileFormat::kIco},
      {"icon file: header cut short",
       [] {
         return Bytes{0, 0, 1, 0, 1};
       },
       IconFileFormat::kIco},
  };
}

}  // namespace icon_cases
