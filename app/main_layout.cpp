#include "app/main_layout.h"

#include <cstddef>

namespace app {

using util::TRect;

namespace {
constexpr int kLabelWidth = 140;
constexpr int kLabelHeight = 18;
constexpr int kSearchButtonWidth = 179;
constexpr int kSearchButtonHeight = 25;
constexpr int kMargin = 8;
}  // namespace

TRect LinkLabelBounds(int toolbar_width, int text_width) {
  const int width = text_width > kLabelWidth ? text_width : kLabelWidth;
  return TRect::FromBounds(toolbar_width - width - kMargin, (kToolbarHeight - kLabelHeight) / 2, width, kLabelHeight);
}

TRect SearchButtonBounds(int bar_width) {
  return TRect::FromBounds(bar_width - kSearchButtonWidth - kMargin, (kSearchBarHeight - kSearchButtonHeight) / 2,
                           kSearchButtonWidth, kSearchButtonHeight);
}

std::array<int, 4> StatusPanelEdges(int client_width) {
  std::array<int, 4> edges{};
  edges[0] = client_width / 2;
  for (std::size_t i = 1; i < edges.size(); ++i) edges[i] = edges[i - 1] + kStatusPanelWidth;
  return edges;
}

int FindPanelHeightAfterResize(int pane_height, int splitter_top, int min_size, int client_height, int splitter_height,
                               int status_bar_height) {
  if (splitter_top >= min_size) return pane_height;
  const int height = client_height - min_size - splitter_height - status_bar_height;
  return height > 0 ? height : 0;
}

int FilePanelWidthAfterResize(int file_width, int splitter_left, int min_size, int pane_client_width,
                              int splitter_width) {
  if (splitter_left >= min_size) return file_width;
  const int width = pane_client_width - min_size - splitter_width;
  return width > 0 ? width : 0;
}

TSearchPanePlaces SearchPanePlaces(int dir_width, int dir_height, int file_width, int file_height) {
  const int m = kPaneMargin;
  auto at_least_0 = [](int v) { return v > 0 ? v : 0; };
  TSearchPanePlaces p;
  p.tree = TRect::FromBounds(m, kPaneListTop, at_least_0(dir_width - 2 * m), at_least_0(dir_height - kPaneListTop - m));
  const int list_height = at_least_0(file_height - kPaneListTop - 2 * m - kCheckBoxHeight);
  p.file_box = TRect::FromBounds(kFileBoxLeft, kPaneListTop, at_least_0(file_width - kFileBoxLeft - m), list_height);
  p.check_box = TRect::FromBounds(kFileBoxLeft, file_height - kCheckBoxHeight - m, p.file_box.Width(), kCheckBoxHeight);
  p.strip = TRect::FromBounds(kStripLeft, kPaneListTop, kStripWidth, list_height);
  p.save_all = TRect::FromBounds(m, p.strip.top + list_height / 2 - kSaveAllHeight / 2, kSaveAllWidth, kSaveAllHeight);
  // The count and the failure mark stand centred over the button's column.
  const int label_left = m / 2;
  const int label_width = kStripLeft - label_left - 2;
  p.count_label = TRect::FromBounds(label_left, p.save_all.top - kSaveAllHeight - m, label_width, kPaneLabelHeight);
  p.failed_label = TRect::FromBounds(label_left, p.count_label.top + kPaneLabelHeight, label_width, kPaneLabelHeight);
  return p;
}

const char* DepthDigits(int depth_code) {
  static const char* const kDigits[] = {"1", "4", "8", "24", "32"};
  return depth_code >= 0 && depth_code < 5 ? kDigits[depth_code] : "?";
}

TRect CountLabelBox(const TRect& column, int text_width) {
  if (text_width <= column.Width()) return column;
  const int left = column.left + column.Width() / 2 - text_width / 2;
  return TRect::FromBounds(left < 0 ? 0 : left, column.top, text_width, column.Height());
}

}  // namespace app
