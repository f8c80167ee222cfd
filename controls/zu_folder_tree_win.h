// TzuFolderTree: a read-only tree of the shell's folder namespace. The
// desktop is the root; under it the computer with its drives, optionally
// the network and the recycle bin, and the desktop's own folders. A node's
// folders are listed when it is first expanded (or walked through by
// SelectPath), and every listed node with a file-system path is watched for
// subfolders created, removed or renamed, which lists it again.
//
// Who owns what: the tree owns one record per node (keyed by a serial
// number that is never reused; the tree item's lParam holds it), each
// record owns its absolute item list, its folder interface and its watcher.
// Watchers only post message 1024 with their node's serial to the tree's
// utility window, so the window thread never waits for a watcher while it
// works, and a notification whose node has gone meanwhile finds no record
// and is dropped. A deleted node's watcher is told to stop and kept in a
// list that is joined once it has ended; destroying the tree tells every
// watcher to stop first and then joins them all, so no thread outlives it.
//
// Nothing of the shell (OLE, the desktop folder, the system image list, the
// roots and their watchers) is built until the tree is first painted: a
// window whose search pane stays hidden never pays for it. The build comes
// once the thread's pending paints are done, so the window shows whole
// first and the tree fills a moment later; selecting a path builds at once.
//
// The utility window is a hidden top-level window of the tree's own: it
// rebuilds watched nodes (1024) and hears the media broadcasts
// (WM_DEVICECHANGE), which reach top-level windows only.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/folder_tree_paths.h"
#include "gui/control.h"
#include "util/handles_win.h"

namespace controls {

class TThDirChange;

enum TFolderOption : unsigned { foNetworkNeighborhood = 1, foRecycleBin = 2 };

class TzuFolderTree : public gui::TSystemControl {
 public:
  TzuFolderTree();
  ~TzuFolderTree() override;

  // Creates the tree view (read-only, buttons, no lines, no root lines, the
  // selection shown without the focus, indent 19), still empty.
  bool Create(HWND parent, UINT_PTR id, int x, int y, int width, int height);
  // Builds the shell part and the roots now; nothing once built. The tree's
  // first paint calls it, a moment later.
  void Build();

  unsigned FolderOptions = 0;  // set before Create

  // The file-system path of the selected node; "" when none is selected or
  // the node has no path (the computer, the network, the recycle bin).
  std::string GetPath() const;
  // Selects the node of path, or its deepest existing ancestor, once the
  // message posted here is handled; nothing happens when path is GetPath().
  void SelectPath(const std::string& path);

  // Every change of the selection, also one caused by rebuilding nodes.
  std::function<void(TzuFolderTree& sender)> OnChange;

  // Watcher threads the tree holds that are still running (for tests).
  size_t WatcherCount() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSystemPainted() override;
  bool OnTimer(UINT_PTR id) override;
  std::optional<LRESULT> OnReflectedNotify(NMHDR* header) override;

 private:
  class TUtilityWindow;
  class TUpdateScope;
  struct TFolderNode;
  friend class TUtilityWindow;

  // Window thread messages and timers of the utility window.
  LRESULT UtilityMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled);
  bool UtilityTimer(UINT_PTR id);

  TFolderNode* Record(HTREEITEM item) const;
  HTREEITEM Child(HTREEITEM item) const;
  HTREEITEM Next(HTREEITEM item) const;
  std::string NodePath(HTREEITEM item) const;
  void SetHasChildren(HTREEITEM item, bool has_children) const;
  void SetNodeText(TFolderNode* record, const std::string& text) const;

  HTREEITEM AddFolderNode(LPCITEMIDLIST item, HTREEITEM parent, bool force);
  HTREEITEM InsertNode(std::unique_ptr<TFolderNode> node, HTREEITEM parent, HTREEITEM after, int image,
                       int selected_image, bool has_children, UINT overlay);
  bool PopulateFromFileSystem(HTREEITEM parent, const std::string& native_path, std::map<std::string, HTREEITEM>* kept);
  void RefreshPendingNodes();
  HTREEITEM AddSpecialRoot(int csidl, TNodeKind kind, const std::string& path);
  void BuildRoots();
  // Lists the node's subfolders. With `kept` (the node's children already
  // there, by lower-case path), a folder still there keeps its node and is
  // taken out of `kept`, which is left with the nodes of folders gone.
  bool PopulateNode(HTREEITEM node, std::map<std::string, HTREEITEM>* kept = nullptr);
  void SortChildren(HTREEITEM node) const;
  static int CALLBACK CompareNodes(LPARAM first, LPARAM second, LPARAM tree);
  void StartWatcher(HTREEITEM node);
  void DeleteFolderNode(HTREEITEM node);
  // Deletes the node's children; the special nodes (the computer, the
  // network, the recycle bin) only when asked, as no listing makes them.
  void DeleteChildren(HTREEITEM node, bool special_ones_too);
  void RefreshNode(unsigned serial);
  void RefreshDrive(char letter);
  void RelistLeaves();
  HTREEITEM FindNodeByPath(const std::string& path);
  HTREEITEM FindChildByPath(HTREEITEM node, const std::string& lower_path, bool less_backslash) const;
  void ForgetExpandedOnce(HTREEITEM node) const;
  void ReapWatchers();
  void NotifyChange();
  // The serial of the selected node's record; 0 when none is selected.
  unsigned SelectedSerial() const;
  // The owner window the shell may show its boxes on.
  HWND Owner() const;

  // Collapses the node without redrawing the tree meanwhile.
  void Collapse(HTREEITEM node) const;

  std::optional<util::OleSession> ole_;  // the shell's folders need OLE on the window thread
  bool built_ = false;
  std::unique_ptr<TUtilityWindow> utility_;
  util::UniqueComPtr<IShellFolder> desktop_folder_;
  HIMAGELIST system_images_ = nullptr;  // the shell's own list: never destroyed here

  std::map<unsigned, std::unique_ptr<TFolderNode>> nodes_;
  unsigned next_serial_ = 1;
  std::vector<std::unique_ptr<TThDirChange>> retired_;  // told to stop, not yet joined
  std::vector<unsigned> refresh_pending_;               // nodes whose folders changed, rebuilt once the changes settle

  HTREEITEM desktop_node_ = nullptr;
  HTREEITEM computer_node_ = nullptr;
  HTREEITEM network_node_ = nullptr;
  HTREEITEM recycle_node_ = nullptr;
  std::string desktop_path_;
  std::string network_path_;
  std::string pending_path_;
  bool destroying_ = false;
  // Node operations in progress; a selection change seen meanwhile is
  // reported once the outermost one has ended, so that the owner's handler
  // never runs while nodes are half rebuilt.
  // The tree view does not report every move of the selection that its own
  // changes cause (a collapse around the selection), so the selected node
  // is also compared before and after.
  int update_depth_ = 0;
  bool change_pending_ = false;
  unsigned selection_before_ = 0;
};

}  // namespace controls
