#include "imaging/icon_file_check_win.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "win/win_test_support.h"

namespace {

using testing_support::FixturePath;

UINT ShellCount(const std::string& path) {
  return static_cast<UINT>(
      reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), static_cast<UINT>(-1))));
}

// The files below dir (every subfolder, hidden ones too) that match one of
// the patterns.
void FilesBelow(const std::string& dir, const std::vector<const char*>& patterns, std::vector<std::string>& out) {
  WIN32_FIND_DATAA fd;
  for (const char* pattern : patterns) {
    HANDLE h = FindFirstFileA((dir + "\\" + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(dir + "\\" + fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
      FilesBelow(dir + "\\" + name, patterns, out);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// The check must let through every file of the system folder and its
// subfolders that the shell takes icons from, call none of these
// well-formed files damaged, and answer the shell's count exactly, none
// included: the folder scan takes the count from the check instead of
// asking the shell.
TEST(IconFileCheckOnDisk, AgreesWithTheShellOnTheSystemFolder) {
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  std::vector<std::string> files;
  FilesBelow(system, {"*.dll", "*.exe", "*.ocx", "*.ico"}, files);
  ASSERT_GT(files.size(), 100u);

  int with_icons = 0, icons = 0, ne = 0, ico = 0, mismatches = 0;
  for (const std::string& file : files) {
    const imaging::IconFileInspection inspection = imaging::InspectIconFile(file);
    ASSERT_TRUE(inspection.opened) << file;
    EXPECT_FALSE(inspection.check.damaged) << file << ": " << inspection.check.problem;
    if (inspection.check.format == imaging::IconFileFormat::kNe) ++ne;
    if (inspection.check.format == imaging::IconFileFormat::kIco) ++ico;
    const UINT count = ShellCount(file);
    if (count != inspection.check.icon_count) ++mismatches;
    EXPECT_EQ(count, inspection.check.icon_count) << file;
    if (count == 0) continue;
    ++with_icons;
    icons += static_cast<int>(count);
    EXPECT_TRUE(inspection.check.HoldsIconStructure()) << file;
  }
  std::printf(
      "[ system folder ] %zu files, %d with icons (%d icons), %d 16-bit, %d icon files, %d counted "
      "differently\n",
      files.size(), with_icons, icons, ne, ico, mismatches);
  EXPECT_GT(with_icons, 0);
  EXPECT_GT(ne, 0);
}

// A small file is read whole, a larger one mapped, and the images of a
// large one read through a buffer: every way must come to the verdict of
// the check over the whole file in memory.
TEST(IconFileCheckOnDisk, EveryWayOfReadingGivesTheSameVerdict) {
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  std::vector<std::string> files;
  FilesBelow(system, {"*.dll", "*.exe", "*.ocx", "*.ico"}, files);
  int small = 0, large = 0;
  for (const std::string& file : files) {
    const imaging::IconFileInspection inspection = imaging::InspectIconFile(file);
    const std::vector<unsigned char> bytes = testing_support::ReadFileBytes(inspection.Source(file));
    const imaging::IconFileCheck whole = imaging::CheckIconFile(bytes.data(), bytes.size());
    EXPECT_EQ(whole.damaged, inspection.check.damaged) << file;
    EXPECT_STREQ(whole.problem, inspection.check.problem) << file;
    EXPECT_EQ(whole.icon_count, inspection.check.icon_count) << file;
    EXPECT_EQ(whole.png_chunk_visits, inspection.check.png_chunk_visits) << file;
    if (bytes.size() <= 64 * 1024) ++small;
    if (bytes.size() > 256 * 1024 && whole.icon_count > 0) ++large;
  }
  EXPECT_GT(small, 0);
  EXPECT_GT(large, 0);
}

// The shell's count for each kind of file: an executable's icon groups, one
// for an icon file whatever number of images it holds (nomask.ico has two),
// none for a file without an icon structure.
TEST(IconFileCheckOnDisk, FixturesGetTheShellsCount) {
  const struct {
    const char* name;
    bool icon_structure;
  } cases[] = {
      {"few_icons.dll", true}, {"many_icons.dll", true}, {"sizes.dll", true}, {"nomask.dll", true},
      {"ne_icons.exe", true},  {"no_icons.exe", true},   {"bpp1.ico", true},  {"mono.ico", true},
      {"bpp8.ico", true},      {"alpha.ico", true},      {"png.ico", true},   {"nomask.ico", true},
      {"text.txt", false},     {"empty.bin", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const imaging::IconFileInspection inspection = imaging::InspectIconFile(FixturePath(c.name));
    ASSERT_TRUE(inspection.opened);
    EXPECT_EQ(c.icon_structure, inspection.check.HoldsIconStructure()) << inspection.check.problem;
    EXPECT_EQ(ShellCount(FixturePath(c.name)), inspection.check.icon_count);
  }
}

TEST(IconFileCheckOnDisk, DamagedFixturesAreCaught) {
  int seen = 0;
  for (const std::string& name : testing_support::FixtureIndex("damaged")) {
    SCOPED_TRACE(name);
    const imaging::IconFileInspection inspection = imaging::InspectIconFile(FixturePath("damaged\\" + name));
    EXPECT_TRUE(inspection.opened);
    EXPECT_TRUE(inspection.check.damaged);
    EXPECT_FALSE(inspection.ShellMayRead());
    ++seen;
  }
  EXPECT_GE(seen, 20);
}

TEST(IconFileCheckOnDisk, FilesThatCannotBeRead) {
  testing_support::TempDir dir;
  struct Case {
    std::string path;
    bool opened;
    imaging::IconFileFormat format;
  } cases[] = {
      {FixturePath("missing.dll"), false, imaging::IconFileFormat::kOther},
      {dir.path(), false, imaging::IconFileFormat::kOther},
      {FixturePath("empty.bin"), true, imaging::IconFileFormat::kOther},
      {FixturePath("text.txt"), true, imaging::IconFileFormat::kOther},
      {"", false, imaging::IconFileFormat::kOther},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const imaging::IconFileInspection inspection = imaging::InspectIconFile(c.path);
    EXPECT_EQ(c.opened, inspection.opened);
    EXPECT_FALSE(inspection.check.damaged);
    EXPECT_EQ(c.format, inspection.check.format);
    EXPECT_TRUE(inspection.ShellMayRead());
  }

  // A file another handle holds without sharing cannot be opened by the
  // shell either.
  const std::string held = dir.file("held.dll");
  const std::vector<unsigned char> bytes = testing_support::ReadFileBytes(FixturePath("damaged\\pe_group_65535.dll"));
  ASSERT_TRUE(testing_support::WriteFileBytes(held, bytes.data(), bytes.size()));
  HANDLE hold = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, hold);
  EXPECT_FALSE(imaging::InspectIconFile(held).opened);
  EXPECT_EQ(0u, ShellCount(held));
  CloseHandle(hold);
  EXPECT_TRUE(imaging::InspectIconFile(held).check.damaged);
}

// Where the resource section of a PE starts, 0 when there is none; damage
// aimed there hits the directories the shell walks.
size_t ResourceStart(const std::vector<unsigned char>& b) {
  uint32_t pe = 0;
  if (b.size() < 64 || b[0] != 'M') return 0;
  std::memcpy(&pe, &b[0x3C], 4);
  if (pe + 24 > b.size() || b[pe] != 'P') return 0;
  uint16_t sections = 0, optional = 0;
  std::memcpy(&sections, &b[pe + 6], 2);
  std::memcpy(&optional, &b[pe + 20], 2);
  for (size_t s = pe + 24 + optional, i = 0; i < sections && s + 40 * i + 40 <= b.size(); ++i) {
    if (std::memcmp(&b[s + 40 * i], ".rsrc", 5) == 0) {
      uint32_t raw = 0;
      std::memcpy(&raw, &b[s + 40 * i + 20], 4);
      return raw;
    }
  }
  return 0;
}

// Whatever the check lets through must be safe for the real shell. Random
// damage to the fixtures, aimed at headers and resource directories; every
// file that passes goes through the shell's probe, count and extraction. A
// hole in the check ends this program with the shell's access violation.
// The check's count must be the shell's on these odd structures as well.
TEST(IconFileCheckOnDisk, WhatPassesIsSafeForTheShell) {
  std::vector<std::vector<unsigned char>> seeds;
  for (const char* name : {"few_icons.dll", "ne_icons.exe", "png.ico", "bpp4.ico", "sizes.dll", "alpha.ico"})
    seeds.push_back(testing_support::ReadFileBytes(FixturePath(name)));
  testing_support::TempDir dir;
  const std::string path = dir.file("damaged.bin");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  std::mt19937 rng(20261207);
  int passed = 0, kept_away = 0;
  for (int round = 0; round < 500; ++round) {
    std::vector<unsigned char> b = seeds[rng() % seeds.size()];
    ASSERT_FALSE(b.empty());
    const size_t resources = ResourceStart(b);
    for (int edits = 1 + rng() % 3; edits > 0; --edits) {
      size_t at;
      switch (rng() % 3) {
        case 0: at = rng() % b.size(); break;
        case 1: at = rng() % std::min<size_t>(b.size(), 512); break;
        default: at = (resources ? resources + rng() % 0x300 : rng() % 256) % b.size(); break;
      }
      switch (rng() % 4) {
        case 0: b[at] = static_cast<unsigned char>(rng()); break;
        case 1: b[at] = 0xFF; break;
        case 2: b[at] ^= static_cast<unsigned char>(1u << (rng() % 8)); break;
        default: b.resize(std::max<size_t>(at, 1)); break;
      }
    }
    ASSERT_TRUE(testing_support::WriteFileBytes(path, b.data(), b.size()));
    const imaging::IconFileInspection inspection = imaging::InspectIconFile(path);
    if (!inspection.ShellMayRead()) {
      ++kept_away;
      continue;
    }
    const UINT count = ShellCount(path);
    EXPECT_EQ(count, inspection.check.icon_count) << "round " << round;
    if (!inspection.check.HoldsIconStructure()) {
      ++kept_away;
      continue;
    }
    ++passed;
    HICON probe = ExtractIconA(instance, path.c_str(), 0);
    if (reinterpret_cast<UINT_PTR>(probe) > 1) DestroyIcon(probe);
    for (UINT i = 0; i < count && i < 64; ++i) {
      HICON icon = ExtractIconA(instance, path.c_str(), i);
      if (icon) DestroyIcon(icon);
    }
  }
  EXPECT_GT(passed, 100);
  EXPECT_GT(kept_away, 100);
}

}  // namespace
