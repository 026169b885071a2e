#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace SkinUI {

namespace gdip = Gdiplus::DllExports;

// One owner per GDI+ flat-API object.
template <class T, class Base, Gdiplus::GpStatus(WINGDIPAPI* Delete)(Base*)>
class GdipObject {
 public:
  GdipObject() : m_object(nullptr) {}
  ~GdipObject() {
    if (m_object != nullptr) Delete(m_object);
  }
  GdipObject(const GdipObject&) = delete;
  GdipObject& operator=(const GdipObject&) = delete;
  T* get() const { return m_object; }
  T** out() { return &m_object; }
  // Whether the call that filled out() made the object. A failed call's value is dropped: Wine's
  // GDI+ leaves the object it freed there.
  bool Made(Gdiplus::GpStatus status) {
    if (status != Gdiplus::Ok) m_object = nullptr;
    return status == Gdiplus::Ok;
  }

 private:
  T* m_object;
};

using GdipGraphics = GdipObject<Gdiplus::GpGraphics, Gdiplus::GpGraphics, gdip::GdipDeleteGraphics>;
using GdipSolidBrush = GdipObject<Gdiplus::GpSolidFill, Gdiplus::GpBrush, gdip::GdipDeleteBrush>;
using GdipPen = GdipObject<Gdiplus::GpPen, Gdiplus::GpPen, gdip::GdipDeletePen>;
using GdipFont = GdipObject<Gdiplus::GpFont, Gdiplus::GpFont, gdip::GdipDeleteFont>;
using GdipStringFormat = GdipObject<Gdiplus::GpStringFormat, Gdiplus::GpStringFormat, gdip::GdipDeleteStringFormat>;

}  // namespace SkinUI
