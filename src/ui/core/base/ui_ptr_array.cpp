#include "ui/core/base/ui_ptr_array.h"

#include <cstdlib>
#include <cstring>

namespace SkinUI {

CUIPtrArray::CUIPtrArray(int reserve) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0) {
  if (reserve > 0) {
    m_ppVoid = static_cast<void**>(calloc(reserve, sizeof(void*)));
    if (m_ppVoid != nullptr) m_nAllocated = reserve;
  }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0) {
  for (int i = 0; i < other.GetSize(); ++i) Add(other.GetAt(i));
}

CUIPtrArray::~CUIPtrArray() { free(m_ppVoid); }

// Grows the block for one more element; the count is raised by the caller on success.
bool CUIPtrArray::Grow() {
  if (m_nCount + 1 < m_nAllocated) return true;
  int capacity = m_nAllocated == 0 ? 11 : m_nAllocated * 2;
  void** block = static_cast<void**>(realloc(m_ppVoid, capacity * sizeof(void*)));
  if (block == nullptr) return false;
  m_ppVoid = block;
  m_nAllocated = capacity;
  return true;
}

bool CUIPtrArray::Add(void* p) {
  if (!Grow()) return false;
  m_ppVoid[m_nCount++] = p;
  return true;
}

bool CUIPtrArray::InsertAt(int index, void* p) {
  if (index == m_nCount) return Add(p);
  if (index < 0 || index > m_nCount) return false;
  if (!Grow()) return false;
  memmove(&m_ppVoid[index + 1], &m_ppVoid[index], (m_nCount - index) * sizeof(void*));
  m_ppVoid[index] = p;
  ++m_nCount;
  return true;
}

bool CUIPtrArray::Remove(int index) {
  if (index < 0 || index >= m_nCount) return false;
  if (index < m_nCount - 1) {
    memmove(&m_ppVoid[index], &m_ppVoid[index + 1], (m_nCount - index - 1) * sizeof(void*));
  }
  --m_nCount;
  return true;
}

bool CUIPtrArray::SetAt(int index, void* p) {
  if (index < 0 || index >= m_nCount) return false;
  m_ppVoid[index] = p;
  return true;
}

void* CUIPtrArray::GetAt(int index) const {
  if (index < 0 || index >= m_nCount) return nullptr;
  return m_ppVoid[index];
}

int CUIPtrArray::Find(void* p) const {
  for (int i = 0; i < m_nCount; ++i) {
    if (m_ppVoid[i] == p) return i;
  }
  return -1;
}

void CUIPtrArray::Empty() {
  free(m_ppVoid);
  m_ppVoid = nullptr;
  m_nCount = 0;
  m_nAllocated = 0;
}

void CUIPtrArray::Resize(int n) {
  Empty();
  if (n <= 0) return;
  m_ppVoid = static_cast<void**>(calloc(n, sizeof(void*)));
  if (m_ppVoid == nullptr) return;
  m_nCount = n;
  m_nAllocated = n;
}

}  // namespace SkinUI
