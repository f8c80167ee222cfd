// TRect to and from GDI's RECT: the same four edges.
#pragma once

#include <windows.h>

#include "util/rect.h"

namespace util {

inline RECT ToRECT(const TRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline TRect FromRECT(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace util
