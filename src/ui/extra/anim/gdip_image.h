#pragma once
#include <memory>

#include "ui/core/base/gdiplus_handles.h"

namespace SkinUI {

struct GdipImageDisposer {
  void operator()(Gdiplus::GpImage* image) const { gdip::GdipDisposeImage(image); }
};
// An owned GDI+ image, as CRenderEngine::GdiplusLoadImage hands it out.
using GdipImagePtr = std::unique_ptr<Gdiplus::GpImage, GdipImageDisposer>;

}  // namespace SkinUI
