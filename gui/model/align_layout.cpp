#include "gui/model/align_layout.h"

#include <algorithm>
#include <numeric>

namespace gui {

namespace {

// Whether a comes before b among items of the same alignment.
bool Before(TAlign align, const TLayoutRect& a, const TLayoutRect& b) {
  switch (align) {
    case TAlign::alTop: return a.top < b.top;
    case TAlign::alBottom: return a.top + a.height > b.top + b.height;
    case TAlign::alLeft: return a.left < b.left;
    case TAlign::alRight: return a.left + a.width > b.left + b.width;
    default: return false;
  }
}

}  // namespace

void AlignItems(int client_width, int client_height, std::vector<TAlignedItem>& items) {
  int left = 0, top = 0, right = client_width, bottom = client_height;
  for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    std::vector<size_t> order;
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].visible && items[i].align == align) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return Before(align, items[a].bounds, items[b].bounds); });
    for (size_t i : order) {
      TLayoutRect& r = items[i].bounds;
      const int width = std::max(0, right - left);
      const int height = std::max(0, bottom - top);
      switch (align) {
        case TAlign::alTop:
          r = {left, top, width, r.height};
          top += r.height;
          break;
        case TAlign::alBottom:
          bottom -= r.height;
          r = {left, bottom, width, r.height};
          break;
        case TAlign::alLeft:
          r = {left, top, r.width, height};
          left += r.width;
          break;
        case TAlign::alRight:
          right -= r.width;
          r = {right, top, r.width, height};
          break;
        default:
          r = {left, top, width, height};
          break;
      }
    }
  }
}

}  // namespace gui
