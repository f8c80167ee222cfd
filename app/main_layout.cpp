#include "app/main_layout.h"

#include <cstddef>

namespace app {

namespace {
constexpr int kLabelWidth = 140;
constexpr int kLabelHeight = 18;
constexpr int kSearchButtonWidth = 179;
constexpr int kSearchButtonHeight = 25;
constexpr int kMargin = 8;
}  // namespace

TRectI LinkLabelBounds(int toolbar_width, int text_width) {
  const int width = text_width > kLabelWidth ? text_width : kLabelWidth;
  return {toolbar_width - width - kMargin, (kToolbarHeight - kLabelHeight) / 2, width, kLabelHeight};
}

TRectI SearchButtonBounds(int bar_width) {
  return {bar_width - kSearchButtonWidth - kMargin, (kSearchBarHeight - kSearchButtonHeight) / 2,
          kSearchButtonWidth, kSearchButtonHeight};
}

std::array<int, 4> StatusPanelEdges(int client_width) {
  std::array<int, 4> edges{};
  edges[0] = client_width / 2;
  for (std::size_t i = 1; i < edges.size(); ++i) edges[i] = edges[i - 1] + kStatusPanelWidth;
  return edges;
}

int FindPanelHeightAfterResize(int pane_height, int splitter_top, int min_size, int client_height,
                               int splitter_height, int status_bar_height) {
  if (splitter_top >= min_size) return pane_height;
  const int height = client_height - min_size - splitter_height - status_bar_height;
  return height > 0 ? height : 0;
}

const char* DepthDigits(int depth_code) {
  static const char* const kDigits[] = {"1", "4", "8", "24", "32"};
  return depth_code >= 0 && depth_code < 5 ? kDigits[depth_code] : "?";
}

}  // namespace app
