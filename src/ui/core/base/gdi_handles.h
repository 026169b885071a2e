#pragma once
#include <windows.h>

namespace SkinUI {

// One owner per GDI object: deleted when the owner goes.
template <class T>
class GdiObject {
 public:
  explicit GdiObject(T object = nullptr) : m_object(object) {}
  ~GdiObject() {
    if (m_object != nullptr) ::DeleteObject(m_object);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  T get() const { return m_object; }
  T release() {
    T object = m_object;
    m_object = nullptr;
    return object;
  }

 private:
  T m_object;
};

// A memory DC compatible with another DC.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDC() {
    if (m_dc != nullptr) ::DeleteDC(m_dc);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return m_dc; }

 private:
  HDC m_dc;
};

// Selects an object into a DC for the owner's lifetime.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~SelectGuard() {
    if (m_old != nullptr) ::SelectObject(m_dc, m_old);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

inline COLORREF ArgbToColorRef(DWORD argb) { return RGB(GetBValue(argb), GetGValue(argb), GetRValue(argb)); }

}  // namespace SkinUI
