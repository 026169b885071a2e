#pragma once
#include "ui/core/base/ui_string.h"

namespace SkinUI {

// Hash map from wide-string keys to untyped pointers. It owns its nodes and keys, never the values.
class CUIStringMap {
 public:
  enum { kDefaultBuckets = 83, kMinBuckets = 16 };

  explicit CUIStringMap(int buckets = kDefaultBuckets);
  CUIStringMap(const CUIStringMap&) = delete;
  CUIStringMap& operator=(const CUIStringMap&) = delete;
  ~CUIStringMap();

  void* Find(const wchar_t* key, bool optimize = true) const;
  bool Insert(const wchar_t* key, void* value);
  void* Set(const wchar_t* key, void* value);
  bool Remove(const wchar_t* key);
  int GetSize() const { return m_nCount; }
  int GetBucketCount() const { return m_nBuckets; }
  const wchar_t* GetAt(int n) const;
  void Resize(int buckets);
  void RemoveAll();

  static unsigned int HashKey(const wchar_t* key);

 private:
  struct Node {
    CUIString key;
    void* value;
    Node* prev;
    Node* next;
  };

  Node* FindNode(const wchar_t* key, Node** head) const;
  void DeleteAll();

  Node** m_aT;
  int m_nBuckets;
  int m_nCount;
};

}  // namespace SkinUI
