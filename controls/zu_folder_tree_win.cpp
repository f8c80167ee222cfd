#include "controls/zu_folder_tree_win.h"

#include <dbt.h>

#include <algorithm>
#include <cstring>

#include "controls/dir_change_watcher_win.h"
#include "controls/folder_shell_win.h"
#include "gui/application.h"
#include "gui/cursor.h"
#include "gui/text.h"
#include "util/file_utils.h"
#include "util/system_paths_win.h"

namespace controls {

namespace {

constexpr UINT kSelectPathMessage = 1026;
// The tree's own timer (the tree view keeps its timers low): it fires once
// every pending paint of the thread is done, and the shell part is built.
constexpr UINT_PTR kBuildTimer = 0x7A51;
constexpr UINT_PTR kReapTimer = 1;
constexpr UINT kReapIntervalMs = 200;
// A burst of changes (a thousand folders made at once) is rebuilt once,
// after this long without a further change.
constexpr UINT_PTR kSettleTimer = 2;
constexpr UINT kSettleMs = 200;
constexpr int kIndent = 19;
// Subfolders, file system, share and link: what a node's look needs.
constexpr SFGAOF kNodeAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_SHARE | SFGAO_LINK;

bool IsSpecialRoot(TNodeKind kind) {
  return kind == TNodeKind::nkComputer || kind == TNodeKind::nkNetwork || kind == TNodeKind::nkRecycleBin;
}

// The special nodes keep their place above the desktop's folders.
int SortRank(TNodeKind kind) {
  switch (kind) {
    case TNodeKind::nkComputer: return 0;
    case TNodeKind::nkNetwork: return 1;
    case TNodeKind::nkRecycleBin: return 2;
    default: return 3;
  }
}

}  // namespace

// --- node records and helpers -------------------------------------------------

struct TzuFolderTree::TFolderNode {
  unsigned serial = 0;
  HTREEITEM item = nullptr;
  std::string path;  // the parsing name (see NodePathText for what it reports)
  std::string text;
  bool has_parent = false;
  std::unique_ptr<TThDirChange> watcher;
  long volume_serial = 1;
  util::UniqueComPtr<IShellFolder> folder;
  TNodeKind kind = TNodeKind::nkFolder;
  std::vector<BYTE> item_list;  // the absolute item list with its terminator
  LPCITEMIDLIST List() const { return reinterpret_cast<LPCITEMIDLIST>(item_list.data()); }
};

class TzuFolderTree::TUpdateScope {
 public:
  explicit TUpdateScope(TzuFolderTree& tree) : tree_(tree) {
    if (tree_.update_depth_++ != 0 || !tree_.Handle()) return;
    tree_.selection_before_ = tree_.SelectedSerial();
    SendMessageW(tree_.Handle(), WM_SETREDRAW, FALSE, 0);
  }
  ~TUpdateScope() {
    if (--tree_.update_depth_ != 0) return;
    if (tree_.Handle()) {
      SendMessageW(tree_.Handle(), WM_SETREDRAW, TRUE, 0);
      InvalidateRect(tree_.Handle(), nullptr, TRUE);
    }
    if (tree_.change_pending_ || tree_.SelectedSerial() != tree_.selection_before_) {
      tree_.change_pending_ = false;
      gui::RunGuarded([&] { tree_.NotifyChange(); });
    }
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TzuFolderTree& tree_;
};

class TzuFolderTree::TUtilityWindow : public gui::TWindow {
 public:
  explicit TUtilityWindow(TzuFolderTree& tree) : tree_(tree) {}
  bool Create() {
    gui::WindowParams params;
    params.style = WS_POPUP;  // hidden and top-level, so that media broadcasts reach it
    params.x = params.y = params.width = params.height = 0;
    return CreateHandle(gui::WindowClass{L"TamselFolderTreeUtility"}, params);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    bool handled = false;
    const LRESULT result = tree_.UtilityMessage(msg, wp, lp, &handled);
    return handled ? result : TWindow::HandleMessage(msg, wp, lp);
  }
  bool OnTimer(UINT_PTR id) override { return tree_.UtilityTimer(id); }

 private:
  TzuFolderTree& tree_;
};

TzuFolderTree::TzuFolderTree() = default;

TzuFolderTree::~TzuFolderTree() {
  destroying_ = true;
  // Every watcher is told to stop before any is joined, so they end
  // together rather than one after another.
  for (auto& entry : nodes_)
    if (entry.second->watcher) entry.second->watcher->Terminate();
  for (auto& watcher : retired_) watcher->Terminate();
  utility_.reset();
  DestroyHandle();  // the tree view keeps no image list of ours: the shell's stays
  nodes_.clear();
  retired_.clear();
  desktop_folder_.reset();
}

bool TzuFolderTree::Create(HWND parent, UINT_PTR id, int x, int y, int width, int height) {
  const DWORD style = WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_SHOWSELALWAYS;
  if (!TSystemControl::Create(WC_TREEVIEWW, parent, id, style, x, y, width, height)) return false;
  SendMessageW(Handle(), TVM_SETINDENT, kIndent, 0);
  return true;
}

void TzuFolderTree::Build() {
  if (built_ || !Handle()) return;
  built_ = true;
  KillTimer(Handle(), kBuildTimer);
  ole_.emplace();
  if (FAILED(SHGetDesktopFolder(desktop_folder_.put()))) desktop_folder_.reset();

  // The shell's small-icon list, shared: node images are indexes into it.
  if (auto desktop_dir = GetSpecialFolder(Owner(), CSIDL_DESKTOPDIRECTORY)) {
    SHFILEINFOA info{};
    system_images_ =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(reinterpret_cast<LPCSTR>(desktop_dir->list.get()), 0, &info,
                                                    sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (system_images_)
      SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(system_images_));
  }

  utility_ = std::make_unique<TUtilityWindow>(*this);
  if (!utility_->Create()) {
    utility_.reset();
    return;
  }
  BuildRoots();
}

HWND TzuFolderTree::Owner() const { return Handle() ? GetParent(Handle()) : nullptr; }

TzuFolderTree::TFolderNode* TzuFolderTree::Record(HTREEITEM item) const {
  if (!item || !Handle()) return nullptr;
  TVITEMW tv{};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  if (!SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  const auto it = nodes_.find(static_cast<unsigned>(tv.lParam));
  return it == nodes_.end() ? nullptr : it->second.get();
}

HTREEITEM TzuFolderTree::Child(HTREEITEM item) const {
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM TzuFolderTree::Next(HTREEITEM item) const {
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

std::string TzuFolderTree::NodePath(HTREEITEM item) const {
  const TFolderNode* record = Record(item);
  return record ? NodePathText(record->kind, record->path) : std::string();
}

void TzuFolderTree::SetNodeText(TFolderNode* record, const std::string& text) const {
  record->text = text;
  const std::wstring wide = gui::AnsiToWide(text);
  TVITEMW tv{};
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = record->item;
  tv.pszText = const_cast<wchar_t*>(wide.c_str());
  SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

void TzuFolderTree::SetHasChildren(HTREEITEM item, bool has_children) const {
  TVITEMW tv{};
  tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
  tv.hItem = item;
  tv.cChildren = has_children ? 1 : 0;
  SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

// The tree view expands an item from code without asking us once it was
// expanded before; a node whose children were thrown away must ask again.
void TzuFolderTree::ForgetExpandedOnce(HTREEITEM node) const {
  TVITEMW tv{};
  tv.mask = TVIF_STATE | TVIF_HANDLE;
  tv.hItem = node;
  tv.stateMask = TVIS_EXPANDEDONCE;
  SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

void TzuFolderTree::Collapse(HTREEITEM node) const {
  SendMessageW(Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

std::string TzuFolderTree::GetPath() const {
  if (!Handle()) return std::string();
  return NodePath(reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TzuFolderTree::SelectPath(const std::string& path) {
  if (path == GetPath() || !Handle()) return;
  pending_path_ = path;
  PostMessageW(Handle(), kSelectPathMessage, 0, 0);
}

size_t TzuFolderTree::WatcherCount() const {
  size_t count = 0;
  for (const auto& entry : nodes_)
    if (entry.second->watcher && entry.second->watcher->Running()) ++count;
  for (const auto& watcher : retired_)
    if (watcher->Running()) ++count;
  return count;
}

unsigned TzuFolderTree::SelectedSerial() const {
  if (!Handle()) return 0;
  const TFolderNode* record =
      Record(reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
  return record ? record->serial : 0;
}

void TzuFolderTree::NotifyChange() {
  if (destroying_) return;
  if (update_depth_ > 0) {
    change_pending_ = true;
    return;
  }
  if (OnChange) OnChange(*this);
}

// --- building nodes -------------------------------------------------------------

HTREEITEM TzuFolderTree::AddFolderNode(LPCITEMIDLIST item, HTREEITEM parent, bool force) {
  if (!desktop_folder_) return nullptr;
  TFolderNode* parent_node = Record(parent);
  IShellFolder* parent_folder = parent_node && parent_node->folder ? parent_node->folder.get() : desktop_folder_.get();
  const TDisplayNames names = GetDisplayNames(parent_folder, item);

  SFGAOF attributes = 0;
  if (parent_node) {
    SFGAOF request = kNodeAttributes;
    LPCITEMIDLIST items[1] = {item};
    if (SUCCEEDED(parent_folder->GetAttributesOf(1, items, &request))) attributes = request & kNodeAttributes;
  }
  const bool under_network =
      parent_node && (parent_node->kind == TNodeKind::nkNetwork || parent_node->kind == TNodeKind::nkNetworkItem);
  const bool in_file_system = (attributes & SFGAO_FILESYSTEM) || under_network;
  if (!force && !in_file_system) return nullptr;

  auto node = std::make_unique<TFolderNode>();
  const UINT parent_size = parent_node ? ItemListSize(parent_node->List()) : 0;
  const UINT own_size = ItemListSize(item);
  node->item_list.assign(parent_size + own_size + 2, 0);
  if (parent_size) std::memcpy(node->item_list.data(), parent_node->item_list.data(), parent_size);
  if (own_size) std::memcpy(node->item_list.data() + parent_size, item, own_size);

  // A folder shows its open picture while selected.
  SHFILEINFOA info{};
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(node->List()), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_ATTRIBUTES);
  const int image = info.iIcon;
  int selected_image = image;
  if (info.dwAttributes & SFGAO_FOLDER) {
    SHFILEINFOA open{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(node->List()), 0, &open, sizeof open,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_OPENICON);
    selected_image = open.iIcon;
  }

  node->serial = next_serial_++;
  node->path = names.parsing;
  node->text = names.in_folder;
  node->has_parent = parent != nullptr;
  if (parent_node) {
    parent_folder->BindToObject(item, nullptr, IID_IShellFolder, reinterpret_cast<void**>(node->folder.put()));
  } else {
    desktop_folder_->AddRef();
    node->folder.reset(desktop_folder_.get());
  }
  if (parent_node && parent_node->kind == TNodeKind::nkNetwork) {
    node->kind = TNodeKind::nkNetworkItem;
    node->path = "\\\\" + names.in_folder;
  }

  UINT overlay = 0;
  if (attributes & SFGAO_SHARE)
    overlay = INDEXTOOVERLAYMASK(1);
  else if (attributes & SFGAO_LINK)
    overlay = INDEXTOOVERLAYMASK(2);
  return InsertNode(std::move(node), parent, parent && !in_file_system ? TVI_FIRST : TVI_LAST, image, selected_image,
                    (attributes & SFGAO_HASSUBFOLDER) != 0, overlay);
}

HTREEITEM TzuFolderTree::InsertNode(std::unique_ptr<TFolderNode> node, HTREEITEM parent, HTREEITEM after, int image,
                                    int selected_image, bool has_children, UINT overlay) {
  const std::wstring text = gui::AnsiToWide(node->text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.iImage = image;
  insert.item.iSelectedImage = selected_image;
  insert.item.lParam = static_cast<LPARAM>(node->serial);
  insert.item.cChildren = has_children ? 1 : 0;
  insert.item.stateMask = TVIS_OVERLAYMASK;
  insert.item.state = overlay;
  node->item =
      reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node->item) return nullptr;
  HTREEITEM added = node->item;
  nodes_[node->serial] = std::move(node);
  return added;
}

// In the 32-bit program on 64-bit Windows the shell lists System32 and the
// folders in it as their redirected twins in SysWOW64, and cannot name a
// folder through Sysnative. The subfolders of such a folder are therefore
// read from the file system through Sysnative, so that the tree shows what a
// 64-bit Explorer shows. Their nodes have no shell folder and no item list
// of their own; they show the picture of any folder.
bool TzuFolderTree::PopulateFromFileSystem(HTREEITEM parent, const std::string& native_path,
                                           std::map<std::string, HTREEITEM>* kept) {
  const TFolderNode* parent_node = Record(parent);
  if (!parent_node) return false;
  SHFILEINFOA closed{};
  SHGetFileInfoA("x", FILE_ATTRIBUTE_DIRECTORY, &closed, sizeof closed, SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX);
  SHFILEINFOA open{};
  SHGetFileInfoA("x", FILE_ATTRIBUTE_DIRECTORY, &open, sizeof open,
                 SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_OPENICON);
  bool added = false;
  WIN32_FIND_DATAA found;
  util::UniqueFindHandle find(FindFirstFileA(util::JoinPath(native_path, "*").c_str(), &found));
  if (!find) return false;
  do {
    const std::string name = found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..") continue;
    const std::string path = util::JoinPath(parent_node->path, name);
    if (kept && kept->erase(util::LowerCase(path))) {
      added = true;
      continue;
    }
    auto node = std::make_unique<TFolderNode>();
    node->serial = next_serial_++;
    node->path = path;
    node->text = name;
    node->has_parent = true;
    node->volume_serial = parent_node->volume_serial;
    node->item_list.assign(2, 0);
    added |= InsertNode(std::move(node), parent, TVI_LAST, closed.iIcon, open.iIcon, true, 0) != nullptr;
  } while (FindNextFileA(find.get(), &found));
  return added;
}

// A special folder under the desktop, shown with its normal name.
HTREEITEM TzuFolderTree::AddSpecialRoot(int csidl, TNodeKind kind, const std::string& path) {
  auto special = GetSpecialFolder(Owner(), csidl);
  if (!special) return nullptr;
  HTREEITEM item = AddFolderNode(special->list.get(), desktop_node_, true);
  TFolderNode* record = Record(item);
  if (!record) return nullptr;
  SetNodeText(record, DisplayName(desktop_folder_.get(), special->list.get(), SHGDN_NORMAL));
  record->path = path;
  record->kind = kind;
  if (kind == TNodeKind::nkNetwork) network_path_ = special->path;
  return item;
}

void TzuFolderTree::BuildRoots() {
  if (desktop_node_ || !Handle()) return;
  TUpdateScope scope(*this);
  auto desktop = GetSpecialFolder(Owner(), CSIDL_DESKTOP);
  if (!desktop) return;
  desktop_path_ = desktop->path;
  desktop_node_ = AddFolderNode(desktop->list.get(), nullptr, true);
  TFolderNode* record = Record(desktop_node_);
  if (!record) return;
  record->path = desktop_path_;
  record->kind = TNodeKind::nkDesktop;
  SetNodeText(record, DisplayName(desktop_folder_.get(), desktop->list.get(), SHGDN_NORMAL));
  PopulateNode(desktop_node_);

  // Each becomes the desktop's first child, so they read in the opposite
  // order: the computer, the network, the recycle bin.
  if (FolderOptions & foRecycleBin) recycle_node_ = AddSpecialRoot(CSIDL_BITBUCKET, TNodeKind::nkRecycleBin, "");
  if (FolderOptions & foNetworkNeighborhood)
    network_node_ = AddSpecialRoot(CSIDL_NETWORK, TNodeKind::nkNetwork, "\\\\");
  computer_node_ = AddSpecialRoot(CSIDL_DRIVES, TNodeKind::nkComputer, "");
  if (Child(desktop_node_)) SetHasChildren(desktop_node_, true);
  SendMessageW(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(desktop_node_));
}

bool TzuFolderTree::PopulateNode(HTREEITEM node, std::map<std::string, HTREEITEM>* kept) {
  TFolderNode* record = Record(node);
  if (!record) return false;
  gui::HourglassCursor hourglass;
  TUpdateScope scope(*this);

  std::string path = NodePath(node);
  if (path.size() <= 3) {
    if (!path.empty()) path.pop_back();
    record->volume_serial = GetVolumeSerial(path);
  }
  const long serial = record->volume_serial;
  const bool own_serials = record->kind == TNodeKind::nkComputer || record->kind == TNodeKind::nkNetworkItem;

  bool has_children = true;
  bool added = false;
  util::UniqueComPtr<IEnumIDList> items;
  const std::string native_path = util::NativePath(record->path);
  if (!record->path.empty() && native_path != record->path) {
    added = PopulateFromFileSystem(node, native_path, kept);
    has_children = added;
  } else if (record->folder &&
             SUCCEEDED(record->folder->EnumObjects(Owner(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, items.put()))) {
    has_children = false;
    if (items) {
      items->Reset();
      for (;;) {
        LPITEMIDLIST raw = nullptr;
        ULONG fetched = 0;
        if (items->Next(1, &raw, &fetched) != S_OK || !raw) break;
        util::UniquePidl item(raw);
        if (kept && kept->erase(util::LowerCase(DisplayName(record->folder.get(), item.get(), SHGDN_FORPARSING)))) {
          has_children = added = true;
          continue;
        }
        TFolderNode* child = Record(AddFolderNode(item.get(), node, false));
        if (!child) continue;
        child->volume_serial = own_serials ? GetVolumeSerial(child->path) : serial;
        has_children = added = true;
      }
    }
  }
  // The desktop's special nodes are children that no listing makes.
  if (!has_children && Child(node)) has_children = true;
  SetHasChildren(node, has_children);
  if (record->kind != TNodeKind::nkNetwork && record->kind != TNodeKind::nkComputer) SortChildren(node);
  if (added) StartWatcher(node);
  return added;
}

// Special nodes first, then the folders by name, as the tree view's own
// sort would order them.
int CALLBACK TzuFolderTree::CompareNodes(LPARAM first, LPARAM second, LPARAM tree) {
  const auto& nodes = reinterpret_cast<const TzuFolderTree*>(tree)->nodes_;
  const auto a = nodes.find(static_cast<unsigned>(first));
  const auto b = nodes.find(static_cast<unsigned>(second));
  if (a == nodes.end() || b == nodes.end()) return 0;
  const int rank = SortRank(a->second->kind) - SortRank(b->second->kind);
  if (rank != 0) return rank;
  return lstrcmpiA(a->second->text.c_str(), b->second->text.c_str());
}

void TzuFolderTree::SortChildren(HTREEITEM node) const {
  TVSORTCB sort{};
  sort.hParent = node;
  sort.lParam = reinterpret_cast<LPARAM>(this);
  sort.lpfnCompare = &TzuFolderTree::CompareNodes;
  SendMessageW(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

// A node without a file-system path (the computer, the network) has nothing
// a folder watch could see, so it gets no watcher.
void TzuFolderTree::StartWatcher(HTREEITEM node) {
  TFolderNode* record = Record(node);
  if (destroying_ || !record || record->watcher || !utility_) return;
  const std::string path = NodePath(node);
  if (path.empty()) return;
  auto watcher = std::make_unique<TThDirChange>(path, utility_->Handle(), static_cast<LPARAM>(record->serial));
  if (watcher->Start()) record->watcher = std::move(watcher);
}

// --- removing nodes --------------------------------------------------------------

void TzuFolderTree::DeleteFolderNode(HTREEITEM node) {
  TUpdateScope scope(*this);
  DeleteChildren(node, true);
  if (TFolderNode* record = Record(node)) {
    if (record->watcher) {
      // Told to stop now, joined once it has ended: the window thread does
      // not wait for each of many watchers in turn.
      record->watcher->Terminate();
      retired_.push_back(std::move(record->watcher));
      if (utility_) SetTimer(utility_->Handle(), kReapTimer, kReapIntervalMs, nullptr);
    }
    nodes_.erase(record->serial);
  }
  if (node == computer_node_) computer_node_ = nullptr;
  if (node == network_node_) network_node_ = nullptr;
  if (node == recycle_node_) recycle_node_ = nullptr;
  if (node == desktop_node_) desktop_node_ = nullptr;
  SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void TzuFolderTree::DeleteChildren(HTREEITEM node, bool special_ones_too) {
  for (HTREEITEM child = Child(node); child;) {
    HTREEITEM next = Next(child);
    const TFolderNode* record = Record(child);
    if (special_ones_too || !record || !IsSpecialRoot(record->kind)) DeleteFolderNode(child);
    child = next;
  }
}

void TzuFolderTree::ReapWatchers() {
  for (auto it = retired_.begin(); it != retired_.end();) {
    if ((*it)->Running())
      ++it;
    else
      it = retired_.erase(it);
  }
  if (retired_.empty() && utility_) KillTimer(utility_->Handle(), kReapTimer);
}

// --- rebuilding ------------------------------------------------------------------

// A folder's subfolders changed: the folders still there keep their nodes
// (their own subfolders, their state, the selection), new ones are added
// and those gone are deleted.
void TzuFolderTree::RefreshNode(unsigned serial) {
  const auto it = nodes_.find(serial);
  if (it == nodes_.end()) return;  // the node went after its watcher posted
  HTREEITEM node = it->second->item;
  TUpdateScope scope(*this);
  std::map<std::string, HTREEITEM> kept;
  for (HTREEITEM child = Child(node); child; child = Next(child)) {
    const TFolderNode* record = Record(child);
    if (record && !IsSpecialRoot(record->kind)) kept[util::LowerCase(record->path)] = child;
  }
  PopulateNode(node, &kept);
  for (const auto& gone : kept) DeleteFolderNode(gone.second);
}

// The changes a burst of notifications told of, each node rebuilt once.
void TzuFolderTree::RefreshPendingNodes() {
  if (utility_) KillTimer(utility_->Handle(), kSettleTimer);
  std::vector<unsigned> pending;
  pending.swap(refresh_pending_);
  for (unsigned serial : pending) RefreshNode(serial);
}

// A medium arrived in or left a drive: the drive's node starts over, with
// the new volume's label.
void TzuFolderTree::RefreshDrive(char letter) {
  TFolderNode* computer = Record(computer_node_);
  if (!computer) return;
  const char wanted = util::UpperCase(std::string(1, letter))[0];
  HTREEITEM drive = Child(computer_node_);
  for (; drive; drive = Next(drive)) {
    const TFolderNode* record = Record(drive);
    if (record && !record->path.empty() && util::UpperCase(record->path.substr(0, 1))[0] == wanted) break;
  }
  if (!drive) return;
  TUpdateScope scope(*this);
  Collapse(drive);
  wchar_t name[261] = {static_cast<wchar_t>(wanted), L':', L'\\', L'\0'};
  LPITEMIDLIST raw = nullptr;
  ULONG eaten = 0;
  const bool parsed = computer->folder &&
                      SUCCEEDED(computer->folder->ParseDisplayName(Owner(), nullptr, name, &eaten, &raw, nullptr)) &&
                      raw;
  util::UniquePidl fresh(raw);
  DeleteChildren(drive, true);
  ForgetExpandedOnce(drive);
  SetHasChildren(drive, true);
  TFolderNode* record = Record(drive);
  record->volume_serial = GetVolumeSerial(record->path);
  if (!parsed) return;
  // The new medium's folder, so that the next listing shows its folders.
  util::UniqueComPtr<IShellFolder> folder;
  if (SUCCEEDED(computer->folder->BindToObject(fresh.get(), nullptr, IID_IShellFolder,
                                               reinterpret_cast<void**>(folder.put()))))
    record->folder = std::move(folder);
  SetNodeText(record, DisplayName(computer->folder.get(), fresh.get(), SHGDN_NORMAL));
}

// After a change of the system's colours, nodes that had no subfolders are
// listed again: one may have gained some meanwhile.
void TzuFolderTree::RelistLeaves() {
  if (!desktop_node_) return;
  std::vector<HTREEITEM> order;
  std::vector<HTREEITEM> stack{desktop_node_};
  while (!stack.empty()) {
    HTREEITEM item = stack.back();
    stack.pop_back();
    order.push_back(item);
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = Child(item); child; child = Next(child)) children.push_back(child);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  TUpdateScope scope(*this);
  for (size_t i = 1; i < order.size(); ++i) {
    TVITEMW tv{};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = order[i];
    if (!SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) || tv.cChildren != 0) continue;
    if (Child(order[i])) continue;
    PopulateNode(order[i]);
  }
}

// --- selecting by path ------------------------------------------------------------

HTREEITEM TzuFolderTree::FindChildByPath(HTREEITEM node, const std::string& lower_path, bool less_backslash) const {
  for (HTREEITEM child = Child(node); child; child = Next(child)) {
    const TFolderNode* record = Record(child);
    if (!record) continue;
    std::string path = util::LowerCase(record->path);
    if (less_backslash && !path.empty() && path.back() == '\\') path.pop_back();
    if (path == lower_path) return child;
  }
  return nullptr;
}

HTREEITEM TzuFolderTree::FindNodeByPath(const std::string& path) {
  if (path.empty() || !desktop_node_) return nullptr;
  const std::vector<std::string> parts = SplitSelectPath(path, desktop_path_);
  if (parts.empty()) return nullptr;
  std::string s = parts.front();
  HTREEITEM current = nullptr;
  if (s == util::LowerCase(desktop_path_)) {
    current = desktop_node_;
  } else if (s != "\\") {
    if (computer_node_ && !Child(computer_node_)) PopulateNode(computer_node_);
    if (computer_node_) current = FindChildByPath(computer_node_, s, true);
  } else if (network_node_) {
    current = network_node_;  // its path of two backslashes, less one, is the part
  }
  if (!current) return nullptr;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (!Child(current)) PopulateNode(current);
    s += "\\" + parts[i];
    HTREEITEM child = FindChildByPath(current, s, false);
    if (!child) break;
    current = child;
  }
  return current;
}

// --- messages -----------------------------------------------------------------------

LRESULT TzuFolderTree::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kSelectPathMessage) {
    Build();
    TUpdateScope scope(*this);
    HTREEITEM node = FindNodeByPath(pending_path_);
    SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    return 0;
  }
  if (msg == WM_SYSCOLORCHANGE) {
    const LRESULT result = TSystemControl::HandleMessage(msg, wp, lp);
    RelistLeaves();
    return result;
  }
  return TSystemControl::HandleMessage(msg, wp, lp);
}

// Nothing of the shell is asked for before the tree is first seen: its
// first paint asks for the build, which comes once the window has painted.
void TzuFolderTree::OnSystemPainted() {
  if (!built_) SetTimer(Handle(), kBuildTimer, 0, nullptr);
}

bool TzuFolderTree::OnTimer(UINT_PTR id) {
  if (id != kBuildTimer) return false;
  gui::RunGuarded([&] { Build(); });
  return true;
}

std::optional<LRESULT> TzuFolderTree::OnReflectedNotify(NMHDR* header) {
  switch (header->code) {
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDINGA: {
      // Both forms carry the item at the same place.
      HTREEITEM node = reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem;
      const bool expanded = (SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED) &
                             TVIS_EXPANDED) != 0;
      if (expanded || Child(node)) return FALSE;
      // A folder without subfolders loses its button and stays collapsed.
      return PopulateNode(node) ? FALSE : TRUE;
    }
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA: NotifyChange(); return 0;
    default: return std::nullopt;
  }
}

LRESULT TzuFolderTree::UtilityMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  *handled = true;
  switch (msg) {
    case kFolderChangedMessage: {
      // Each notification only puts the node on the list and puts the
      // rebuild off until the changes settle.
      const unsigned serial = static_cast<unsigned>(lp);
      if (std::find(refresh_pending_.begin(), refresh_pending_.end(), serial) == refresh_pending_.end())
        refresh_pending_.push_back(serial);
      if (utility_) SetTimer(utility_->Handle(), kSettleTimer, kSettleMs, nullptr);
      return 0;
    }
    case WM_DEVICECHANGE: {
      if ((wp != DBT_DEVICEARRIVAL && wp != DBT_DEVICEREMOVECOMPLETE) || !lp) break;
      const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lp);
      if (header->dbch_devicetype != DBT_DEVTYP_VOLUME) break;
      const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lp);
      if (!(volume->dbcv_flags & DBTF_MEDIA) || volume->dbcv_unitmask == 0) break;
      int unit = 0;
      while (!(volume->dbcv_unitmask & (1u << unit))) ++unit;
      gui::RunGuarded([&] { RefreshDrive(static_cast<char>('A' + unit)); });
      return TRUE;
    }
  }
  *handled = false;
  return 0;
}

bool TzuFolderTree::UtilityTimer(UINT_PTR id) {
  if (id == kSettleTimer) {
    gui::RunGuarded([&] { RefreshPendingNodes(); });
    return true;
  }
  if (id != kReapTimer) return false;
  ReapWatchers();
  return true;
}

}  // namespace controls
