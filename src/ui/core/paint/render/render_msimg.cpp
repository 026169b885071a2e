#include "ui/core/paint/render/render_msimg_internal.h"

namespace SkinUI {

MsimgFunctions& Msimg() {
  static MsimgFunctions functions = [] {
    MsimgFunctions f = {nullptr, nullptr};
    HMODULE module = ::GetModuleHandleW(L"msimg32.dll");
    if (module == nullptr) module = ::LoadLibraryW(L"msimg32.dll");
    if (module != nullptr) {
      f.alphaBlend = reinterpret_cast<PFN_AlphaBlend>(reinterpret_cast<void*>(::GetProcAddress(module, "AlphaBlend")));
      f.gradientFill =
          reinterpret_cast<PFN_GradientFill>(reinterpret_cast<void*>(::GetProcAddress(module, "GradientFill")));
    }
    return f;
  }();
  return functions;
}

}  // namespace SkinUI
