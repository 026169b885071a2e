#pragma once

namespace SkinUI {

// Growable array of untyped pointers; it owns only its slot block.
class CUIPtrArray {
 public:
  explicit CUIPtrArray(int reserve = 0);
  CUIPtrArray(const CUIPtrArray& other);
  CUIPtrArray& operator=(const CUIPtrArray&) = delete;
  ~CUIPtrArray();

  bool Add(void* p);
  bool InsertAt(int index, void* p);
  bool Remove(int index);
  bool SetAt(int index, void* p);
  void* GetAt(int index) const;
  void* operator[](int index) const { return m_ppVoid[index]; }
  int Find(void* p) const;
  int GetSize() const { return m_nCount; }
  int GetCapacity() const { return m_nAllocated; }
  bool IsEmpty() const { return m_nCount == 0; }
  void Empty();
  void Resize(int n);

 private:
  bool Grow();

  void** m_ppVoid;
  int m_nCount;
  int m_nAllocated;
};

}  // namespace SkinUI
