#include "gui/model/align_layout.h"

#include <algorithm>
#include <numeric>

namespace gui {

namespace {

// Whether a comes before b among items of the same alignment.
bool Before(TAlign align, const util::TRect& a, const util::TRect& b) {
  switch (align) {
    case TAlign::alTop: return a.top < b.top;
    case TAlign::alBottom: return a.bottom > b.bottom;
    case TAlign::alLeft: return a.left < b.left;
    case TAlign::alRight: return a.right > b.right;
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
      util::TRect& r = items[i].bounds;
      const int width = std::max(0, right - left);
      const int height = std::max(0, bottom - top);
      switch (align) {
        case TAlign::alTop:
          r = util::TRect::FromBounds(left, top, width, r.Height());
          top = r.bottom;
          break;
        case TAlign::alBottom:
          bottom -= r.Height();
          r = util::TRect::FromBounds(left, bottom, width, r.Height());
          break;
        case TAlign::alLeft:
          r = util::TRect::FromBounds(left, top, r.Width(), height);
          left = r.right;
          break;
        case TAlign::alRight:
          right -= r.Width();
          r = util::TRect::FromBounds(right, top, r.Width(), height);
          break;
        default: r = util::TRect::FromBounds(left, top, width, height); break;
      }
    }
  }
}

}  // namespace gui
