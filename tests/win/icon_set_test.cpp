#include "controls/icon_set_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "util/mapped_file_win.h"
#include "win/icon_fixtures.h"
#include "win/win_test_support.h"

namespace {

using controls::IconShell;
using controls::NotAnIconFileAnswer;
using controls::TIconSet;
using icon_fixtures::IconAlive;
using icon_fixtures::MakeIcon;
using testing_support::FixturePath;

// Records every call. Without a script it passes the calls on to the real
// shell; with one it answers from the script.
class RecordingShell : public IconShell {
 public:
  struct Script {
    imaging::IconFileInspection inspection;
    enum { kNull, kOne, kIcon } probe = kIcon;
    UINT count = 0;
    std::vector<bool> extract_null;  // per index; an icon where false or missing
    bool associated = true;
    bool type_icon = true;
  };

  RecordingShell() = default;
  explicit RecordingShell(Script script) : script_(std::move(script)), scripted_(true) {}

  std::vector<std::string> calls;
  std::vector<HICON> handed_out;
  Script& script() { return script_; }

  imaging::IconFileInspection Inspect(const std::string& path) override {
    calls.push_back("Inspect");
    return scripted_ ? script_.inspection : real_.Inspect(path);
  }
  HICON Probe(const std::string& path) override {
    calls.push_back("Probe");
    if (!scripted_) return real_.Probe(path);
    if (script_.probe == Script::kNull) return nullptr;
    if (script_.probe == Script::kOne) return NotAnIconFileAnswer();
    return Hand(MakeIcon(0xFF0000FF));
  }
  UINT Count(const std::string& path) override {
    calls.push_back("Count");
    return scripted_ ? script_.count : real_.Count(path);
  }
  HICON Extract(const std::string& path, UINT index) override {
    calls.push_back("Extract " + std::to_string(index));
    if (!scripted_) return real_.Extract(path, index);
    if (index < script_.extract_null.size() && script_.extract_null[index]) return nullptr;
    return Hand(MakeIcon(0xFF000000 | index));
  }
  HICON Associated(const std::string& path) override {
    calls.push_back("Associated");
    if (!scripted_) return real_.Associated(path);
    return script_.associated ? Hand(MakeIcon(0xFF00FF00)) : nullptr;
  }
  HICON TypeIcon(const std::string& path) override {
    calls.push_back("TypeIcon");
    if (!scripted_) return real_.TypeIcon(path);
    return script_.type_icon ? Hand(MakeIcon(0xFFFFFF00)) : nullptr;
  }

 private:
  HICON Hand(HICON icon) {
    handed_out.push_back(icon);
    return icon;
  }
  controls::ShellIcons real_;
  Script script_;
  bool scripted_ = false;
};

imaging::IconFileInspection Sound(imaging::IconFileFormat format, uint32_t count) {
  imaging::IconFileInspection i;
  i.opened = true;
  i.check.format = format;
  i.check.icon_count = count;
  return i;
}
imaging::IconFileInspection Damaged() {
  imaging::IconFileInspection i;
  i.opened = true;
  i.check.format = imaging::IconFileFormat::kPe;
  i.check.damaged = true;
  i.check.problem = "test";
  return i;
}
imaging::IconFileInspection Unopened() { return imaging::IconFileInspection(); }

using Calls = std::vector<std::string>;

struct OrderCase {
  const char* name;
  std::string path;
  RecordingShell::Script script;
  Calls calls;
  bool loaded;
  std::vector<bool> empty;  // per icon of the set: an empty icon object
  Calls asked = {};         // the calls made once every icon is asked for
};

RecordingShell::Script MakeScript(imaging::IconFileInspection inspection,
                                  std::function<void(RecordingShell::Script&)> edit = nullptr) {
  RecordingShell::Script s;
  s.inspection = inspection;
  if (edit) edit(s);
  return s;
}

TEST(IconSet, CallsTheShellInOrderAndConcludesFromItsAnswers) {
  const std::string p = "C:\\some\\file.dll";
  const std::string long_path = "C:\\" + std::string(250, 'a') + "\\file.exe";        // 263 characters
  const std::string longest_short = "C:\\" + std::string(259 - 3 - 4, 'b') + ".exe";  // 259 characters
  ASSERT_EQ(259u, longest_short.size());
  using S = RecordingShell::Script;
  const OrderCase cases[] = {
      {"icons, one of them null",
       p,
       MakeScript(Sound(imaging::IconFileFormat::kPe, 3),
                  [](S& s) {
                    s.count = 3;
                    s.extract_null = {false, true, false};
                  }),
       {"Inspect", "Probe", "Count"},
       true,
       {false, true, false},
       {"Extract 1", "Extract 2"}},
      {"probe answers 1, count 0",
       p,
       MakeScript(Sound(imaging::IconFileFormat::kPe, 0), [](S& s) { s.probe = S::kOne; }),
       {"Inspect", "Probe", "Count"},
       true,
       {}},
      {"no icon of its own: the associated icon",
       p,
       MakeScript(Sound(imaging::IconFileFormat::kPe, 0), [](S& s) { s.probe = S::kNull; }),
       {"Inspect", "Probe", "Associated"},
       true,
       {false}},
      {"neither probe nor associated icon: failed",
       p,
       MakeScript(Sound(imaging::IconFileFormat::kPe, 0),
                  [](S& s) {
                    s.probe = S::kNull;
                    s.associated = false;
                  }),
       {"Inspect", "Probe", "Associated"},
       false,
       {}},
      {"damaged: the icon of its type, the file never read",
       p,
       MakeScript(Damaged()),
       {"Inspect", "TypeIcon"},
       true,
       {false}},
      {"damaged and no type icon: failed",
       p,
       MakeScript(Damaged(), [](S& s) { s.type_icon = false; }),
       {"Inspect", "TypeIcon"},
       false,
       {}},
      {"not an executable or icon file: empty but loaded",
       p,
       MakeScript(Sound(imaging::IconFileFormat::kOther, 0)),
       {"Inspect"},
       true,
       {}},
      {"cannot be opened: the shell decides",
       p,
       MakeScript(Unopened(), [](S& s) { s.probe = S::kNull; }),
       {"Inspect", "Probe", "Associated"},
       true,
       {false}},
      {"long path without own icons: never the associated-icon call",
       long_path,
       MakeScript(Sound(imaging::IconFileFormat::kPe, 0), [](S& s) { s.probe = S::kNull; }),
       {"Inspect", "Probe", "TypeIcon"},
       true,
       {false}},
      {"259 characters still fit",
       longest_short,
       MakeScript(Sound(imaging::IconFileFormat::kPe, 0), [](S& s) { s.probe = S::kNull; }),
       {"Inspect", "Probe", "Associated"},
       true,
       {false}},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingShell shell(c.script);
    TIconSet set(shell);
    EXPECT_EQ(c.loaded, set.LoadIcons(c.path));
    EXPECT_EQ(c.calls, shell.calls);
    EXPECT_EQ(c.path, set.FileName());
    ASSERT_EQ(static_cast<int>(c.empty.size()), set.IconCount());
    const size_t loading = shell.calls.size();
    // The probe's icon is icon 0 when the file counts icons, and is
    // destroyed at once when it does not.
    if (c.script.probe == S::kIcon && c.calls.size() > 1 && c.calls[1] == "Probe") {
      if (set.IconCount() > 0 && c.script.count > 0) {
        EXPECT_EQ(shell.handed_out.front(), set.Icons(0).Handle());
        EXPECT_TRUE(IconAlive(shell.handed_out.front()));
      } else if (set.IconCount() == 0) {
        EXPECT_FALSE(IconAlive(shell.handed_out.front()));
      }
    }
    for (int i = 0; i < set.IconCount(); ++i) EXPECT_EQ(c.empty[i], set.Icons(i).Empty()) << i;
    EXPECT_EQ(c.asked, Calls(shell.calls.begin() + static_cast<long>(loading), shell.calls.end()));
  }
}

TEST(IconSet, ExtractsOnDemandAndHoldsABoundedNumberOfHandles) {
  constexpr int kIcons = TIconSet::kMaxHeldIcons + 100;
  RecordingShell shell(
      MakeScript(Sound(imaging::IconFileFormat::kPe, kIcons), [](RecordingShell::Script& s) { s.count = kIcons; }));
  TIconSet set(shell);
  ASSERT_TRUE(set.LoadIcons("big.dll"));
  ASSERT_EQ(kIcons, set.IconCount());
  EXPECT_EQ(1, set.HeldIconCount()) << "only the probe's icon";

  // A pass that visits every icon extracts each once and lets it go again.
  int visited = 0;
  set.VisitIcons(0, kIcons, [&](int index, const imaging::TIcon& icon) {
    EXPECT_FALSE(icon.Empty()) << index;
    ++visited;
  });
  EXPECT_EQ(kIcons, visited);
  EXPECT_EQ(1, set.HeldIconCount());
  EXPECT_FALSE(set.Extracted(kIcons - 1));
  EXPECT_TRUE(set.Extracted(0)) << "held before the pass, held after it";
  EXPECT_FALSE(IconAlive(shell.handed_out[1])) << "an icon visited is destroyed after its visit";

  // Asking for every icon holds at most the bound; the icon asked for
  // longest ago goes first and is extracted again when asked for again.
  for (int i = 0; i < kIcons; ++i) ASSERT_FALSE(set.Icons(i).Empty()) << i;
  EXPECT_EQ(TIconSet::kMaxHeldIcons, set.HeldIconCount());
  EXPECT_FALSE(set.Extracted(0));
  EXPECT_FALSE(IconAlive(shell.handed_out[0])) << "the handle let go is destroyed";
  EXPECT_TRUE(set.Extracted(kIcons - 1));
  shell.calls.clear();
  set.Icons(0);
  EXPECT_EQ(Calls{"Extract 0"}, shell.calls);
  EXPECT_EQ(TIconSet::kMaxHeldIcons, set.HeldIconCount());
}

TEST(IconSet, ALoadFreesEveryIconOfThePreviousOne) {
  RecordingShell shell(
      MakeScript(Sound(imaging::IconFileFormat::kPe, 2), [](RecordingShell::Script& s) { s.count = 2; }));
  TIconSet set(shell);
  ASSERT_TRUE(set.LoadIcons("a.dll"));
  ASSERT_EQ(2, set.IconCount());
  std::vector<HICON> first = {set.Icons(0).Handle(), set.Icons(1).Handle()};
  for (HICON h : first) ASSERT_TRUE(IconAlive(h));

  // Reloading the same file makes new objects; the old handles are gone.
  ASSERT_TRUE(set.LoadIcons("a.dll"));
  for (HICON h : first) EXPECT_FALSE(IconAlive(h));
  std::vector<HICON> second = {set.Icons(0).Handle(), set.Icons(1).Handle()};

  // A failing load leaves nothing of the file before it.
  shell.script().inspection = Damaged();
  shell.script().type_icon = false;
  EXPECT_FALSE(set.LoadIcons("b.dll"));
  EXPECT_EQ(0, set.IconCount());
  EXPECT_EQ("b.dll", set.FileName());
  for (HICON h : second) EXPECT_FALSE(IconAlive(h));
}

// The real shell on the fixtures.

std::vector<uint32_t> Pixels(const imaging::TIcon& icon, uint32_t background) {
  return icon_fixtures::Render(icon.Handle(), icon.Width(), icon.Height(), background);
}

TEST(IconSetOnFiles, ThreeHundredIconsInFileOrder) {
  TIconSet set;
  const std::string path = FixturePath("many_icons.dll");
  ASSERT_TRUE(set.LoadIcons(path));
  EXPECT_EQ(path, set.FileName());
  ASSERT_EQ(icon_fixtures::kManyIcons, set.IconCount());
  for (int i = 0; i < set.IconCount(); ++i) {
    const imaging::TIcon& icon = set.Icons(i);
    ASSERT_FALSE(icon.Empty()) << i;
    ASSERT_EQ(32, icon.Width());
    std::vector<uint32_t> px = Pixels(icon, 0x123456);
    ASSERT_EQ(icon_fixtures::ManyIconsColour(i) & 0xFFFFFF, px[16 * 32 + 16]) << "icon " << i;
  }
}

TEST(IconSetOnFiles, PixelsOfEachDepthSurviveExtraction) {
  struct Expect {
    const char* file;
    int index;
    uint32_t (*pixel)(int, int);
    // Stored without its AND mask below 32 bits: opaque throughout, black
    // where the masked image is transparent.
    bool opaque = false;
  };
  const Expect cases[] = {
      {"few_icons.dll", 0, icon_fixtures::Bpp1},    {"few_icons.dll", 1, icon_fixtures::Bpp4},
      {"few_icons.dll", 2, icon_fixtures::Bpp8},    {"few_icons.dll", 3, icon_fixtures::Bpp24},
      {"few_icons.dll", 4, icon_fixtures::Bpp32},   {"ne_icons.exe", 0, icon_fixtures::Bpp4},
      {"ne_icons.exe", 1, icon_fixtures::Bpp24},    {"bpp8.ico", 0, icon_fixtures::Bpp8},
      {"bpp24.ico", 0, icon_fixtures::Bpp24},       {"nomask.ico", 0, icon_fixtures::Bpp32},
      {"nomask.dll", 0, icon_fixtures::Bpp1},       {"nomask.dll", 1, icon_fixtures::Bpp32},
      {"nomask.dll", 2, icon_fixtures::Bpp1, true}, {"nomask.dll", 3, icon_fixtures::Bpp4, true},
      {"nomask.dll", 4, icon_fixtures::Bpp8, true}, {"nomask.dll", 5, icon_fixtures::Bpp24, true},
      {"nomask.dll", 6, icon_fixtures::Bpp24},      {"png256.ico", 0, icon_fixtures::Png256},
      {"png256.dll", 0, icon_fixtures::Png256},
  };
  const uint32_t kBackground = 0x336699;
  for (const Expect& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " #" + std::to_string(c.index));
    TIconSet set;
    ASSERT_TRUE(set.LoadIcons(FixturePath(c.file)));
    ASSERT_LT(c.index, set.IconCount());
    const imaging::TIcon& icon = set.Icons(c.index);
    ASSERT_EQ(32, icon.Width());
    ASSERT_EQ(32, icon.Height());
    std::vector<uint32_t> px = Pixels(icon, kBackground);
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint32_t want = c.pixel(x, y);
        const uint32_t expected = want ? (want & 0xFFFFFF) : c.opaque ? 0 : kBackground;
        if (px[y * 32 + x] != expected && wrong++ < 3)
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << px[y * 32 + x] << " != " << expected;
      }
    EXPECT_EQ(0, wrong);
  }
}

TEST(IconSetOnFiles, CountsOfTheFixtures) {
  const std::pair<const char*, int> cases[] = {
      {"few_icons.dll", 6}, {"ne_icons.exe", 2}, {"mono.ico", 1},   {"alpha.ico", 1},
      {"png.ico", 1},       {"bpp1.ico", 1},     {"bpp4.ico", 1},   {"nomask.ico", 1},
      {"nomask.dll", 7},    {"png256.ico", 1},   {"png256.dll", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    TIconSet set;
    ASSERT_TRUE(set.LoadIcons(FixturePath(c.first)));
    ASSERT_EQ(c.second, set.IconCount());
    for (int i = 0; i < set.IconCount(); ++i) EXPECT_FALSE(set.Icons(i).Empty()) << i;
  }
}

// The set reports the size of extracted icons without reading their
// bitmaps; it must be the size they really have, whatever size the file
// stores them at.
TEST(IconSetOnFiles, ReportedSizesAreTheIconsOwn) {
  for (const char* name : {"sizes.dll", "few_icons.dll", "ne_icons.exe", "png.ico", "mono.ico"}) {
    SCOPED_TRACE(name);
    TIconSet set;
    ASSERT_TRUE(set.LoadIcons(FixturePath(name)));
    ASSERT_GT(set.IconCount(), 0);
    for (int i = 0; i < set.IconCount(); ++i) {
      const imaging::TIcon& icon = set.Icons(i);
      const SIZE real = imaging::IconSize(icon.Handle());
      EXPECT_EQ(real.cx, icon.Width()) << i;
      EXPECT_EQ(real.cy, icon.Height()) << i;
      EXPECT_GT(real.cx, 0) << i;
    }
  }
}

TEST(IconSetOnFiles, TextAndEmptyFilesLoadAsEmptySets) {
  for (const char* name : {"text.txt", "empty.bin"}) {
    SCOPED_TRACE(name);
    RecordingShell shell;
    TIconSet set(shell);
    EXPECT_TRUE(set.LoadIcons(FixturePath(name)));
    EXPECT_EQ(0, set.IconCount());
    EXPECT_EQ(Calls{"Inspect"}, shell.calls);
  }
}

TEST(IconSetOnFiles, FileWithoutIconsTakesTheAssociatedIcon) {
  RecordingShell shell;
  TIconSet set(shell);
  EXPECT_TRUE(set.LoadIcons(FixturePath("no_icons.exe")));
  EXPECT_EQ((Calls{"Inspect", "Probe", "Associated"}), shell.calls);
  // The shell falls back on the generic program icon (resource 2) of the
  // calling program, which this test program carries like tamsel.exe.
  ASSERT_EQ(1, set.IconCount());
  EXPECT_FALSE(set.Icons(0).Empty());
  EXPECT_EQ(GetSystemMetrics(SM_CXICON), set.Icons(0).Width());
}

TEST(IconSetOnFiles, DamagedFilesNeverReachTheShell) {
  const std::vector<std::string> names = testing_support::FixtureIndex("damaged");
  ASSERT_GE(names.size(), 20u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    RecordingShell shell;
    TIconSet set(shell);
    EXPECT_TRUE(set.LoadIcons(FixturePath("damaged\\" + name)));
    EXPECT_EQ((Calls{"Inspect", "TypeIcon"}), shell.calls);
    ASSERT_EQ(1, set.IconCount());
    EXPECT_FALSE(set.Icons(0).Empty());
  }
}

// PNG images claiming sizes from the ordinary 256 x 256 up to sizes whose
// decoded bitmap overflows 32 bits, each in an icon file and in a library.
// The sizes the check refuses never reach the shell; the rest go through
// its real extraction, which must survive them: a crash ends this program.
TEST(IconSetOnFiles, NoPngSizeCrashesTheShell) {
  const std::vector<std::string> lines = testing_support::FixtureIndex("png_sizes");
  ASSERT_GE(lines.size(), 28u);
  int reached_shell = 0;
  for (const std::string& line : lines) {
    const size_t blank = line.find(' ');
    ASSERT_NE(std::string::npos, blank) << line;
    const std::string name = line.substr(0, blank);
    const bool refused = line.compare(blank + 1, std::string::npos, "refused") == 0;
    SCOPED_TRACE(name);
    RecordingShell shell;
    TIconSet set(shell);
    EXPECT_TRUE(set.LoadIcons(FixturePath("png_sizes\\" + name)));
    ASSERT_GE(shell.calls.size(), 2u);
    EXPECT_EQ(refused ? "TypeIcon" : "Probe", shell.calls[1]);
    if (!refused) ++reached_shell;
  }
  EXPECT_GE(reached_shell, 8);
}

TEST(IconSetOnFiles, MissingFolderAndLockedFilesLetTheShellDecide) {
  testing_support::TempDir dir;
  const std::string locked = dir.file("locked.dll");
  const std::vector<unsigned char> dll = testing_support::ReadFileBytes(FixturePath("few_icons.dll"));
  ASSERT_TRUE(testing_support::WriteFileBytes(locked, dll.data(), dll.size()));
  HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, hold);

  for (const std::string& path : {FixturePath("missing.dll"), dir.path(), locked}) {
    SCOPED_TRACE(path);
    RecordingShell shell;
    TIconSet set(shell);
    const bool loaded = set.LoadIcons(path);
    ASSERT_GE(shell.calls.size(), 2u);
    EXPECT_EQ("Probe", shell.calls[1]);
    EXPECT_LE(set.IconCount(), 1);
    if (!loaded) {
      EXPECT_EQ(0, set.IconCount());
    }
    EXPECT_EQ(path, set.FileName());
  }
  CloseHandle(hold);
}

TEST(IconSetOnFiles, AFailedLoadAfterAGoodOneLeavesNoOldIcon) {
  TIconSet set;
  ASSERT_TRUE(set.LoadIcons(FixturePath("few_icons.dll")));
  ASSERT_EQ(6, set.IconCount());
  std::vector<HICON> old;
  for (int i = 0; i < set.IconCount(); ++i) old.push_back(set.Icons(i).Handle());
  set.LoadIcons(FixturePath("missing.dll"));
  EXPECT_EQ(FixturePath("missing.dll"), set.FileName());
  for (int i = 0; i < set.IconCount(); ++i)
    for (HICON h : old) EXPECT_NE(h, set.Icons(i).Handle());
  for (HICON h : old) EXPECT_FALSE(IconAlive(h));
}

// A folder chain deep enough for paths beyond MAX_PATH, made and removed
// through the wide calls that accept such paths.
class LongFolder {
 public:
  explicit LongFolder(const std::string& base) {
    std::string path = base;
    while (path.size() < 300) {
      path += "\\" + std::string(60, 'd');
      if (!CreateDirectoryW(util::WidePathForOpen(path).c_str(), nullptr)) return;
      made_.push_back(path);
    }
  }
  ~LongFolder() {
    for (const std::string& f : files_) DeleteFileW(util::WidePathForOpen(f).c_str());
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryW(util::WidePathForOpen(*it).c_str());
  }
  LongFolder(const LongFolder&) = delete;
  LongFolder& operator=(const LongFolder&) = delete;
  bool ok() const { return !made_.empty() && made_.back().size() >= 300; }
  std::string Copy(const std::string& from, const std::string& name) {
    const std::string to = made_.back() + "\\" + name;
    if (!CopyFileW(util::WidePathForOpen(from).c_str(), util::WidePathForOpen(to).c_str(), FALSE)) return "";
    files_.push_back(to);
    return to;
  }

 private:
  std::vector<std::string> made_, files_;
};

TEST(IconSetOnFiles, PathsLongerThanMaxPath) {
  testing_support::TempDir dir;
  LongFolder deep(dir.path());
  ASSERT_TRUE(deep.ok());
  const std::string sound = deep.Copy(FixturePath("few_icons.dll"), "few_icons.dll");
  const std::string damaged = deep.Copy(FixturePath("damaged\\pe_group_65535.dll"), "bad.dll");
  const std::string plain = deep.Copy(FixturePath("no_icons.exe"), "plain.exe");
  ASSERT_FALSE(sound.empty());
  ASSERT_FALSE(damaged.empty());
  ASSERT_FALSE(plain.empty());
  ASSERT_GT(sound.size(), 300u);

  // The check reads the file whatever the length of its path.
  imaging::IconFileInspection inspection = imaging::InspectIconFile(sound);
  EXPECT_TRUE(inspection.opened);
  EXPECT_EQ(6u, inspection.check.icon_count);

  TIconSet set;
  EXPECT_TRUE(set.LoadIcons(sound));
  EXPECT_LE(set.IconCount(), 6);

  RecordingShell shell;
  TIconSet guarded(shell);
  EXPECT_TRUE(guarded.LoadIcons(damaged));
  EXPECT_EQ((Calls{"Inspect", "TypeIcon"}), shell.calls);
  EXPECT_EQ(1, guarded.IconCount());

  RecordingShell shell2;
  TIconSet plain_set(shell2);
  plain_set.LoadIcons(plain);
  for (const std::string& call : shell2.calls) EXPECT_NE("Associated", call);
}

TEST(IconSetOnFiles, NonAsciiNames) {
  const wchar_t* wide = L"\u00cdc\u00f6n\u00e8s \u00e6\u00f8.dll";
  char name[MAX_PATH];
  BOOL lossy = FALSE;
  if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, name, sizeof name, nullptr, &lossy) || lossy)
    GTEST_SKIP() << "the ANSI code page cannot spell the name";
  testing_support::TempDir dir;
  const std::string path = dir.file(name);
  const std::vector<unsigned char> dll = testing_support::ReadFileBytes(FixturePath("few_icons.dll"));
  ASSERT_TRUE(testing_support::WriteFileBytes(path, dll.data(), dll.size()));
  TIconSet set;
  ASSERT_TRUE(set.LoadIcons(path));
  EXPECT_EQ(6, set.IconCount());
  EXPECT_EQ(path, set.FileName());
}

}  // namespace
