#include "ui/core/base/ui_string_map.h"

#include <cwchar>

namespace SkinUI {

unsigned int CUIStringMap::HashKey(const wchar_t* key) {
  unsigned int hash = 0;
  for (int i = static_cast<int>(wcslen(key)) - 1; i >= 0; --i) {
    hash = hash * 33 + static_cast<unsigned short>(key[i]);
  }
  return hash;
}

CUIStringMap::CUIStringMap(int buckets) : m_aT(nullptr), m_nBuckets(0), m_nCount(0) {
  Resize(buckets < kMinBuckets ? kMinBuckets : buckets);
}

CUIStringMap::~CUIStringMap() { DeleteAll(); }

void CUIStringMap::DeleteAll() {
  for (int i = 0; i < m_nBuckets; ++i) {
    Node* node = m_aT[i];
    while (node != nullptr) {
      Node* next = node->next;
      delete node;
      node = next;
    }
  }
  delete[] m_aT;
  m_aT = nullptr;
  m_nBuckets = 0;
  m_nCount = 0;
}

void CUIStringMap::Resize(int buckets) {
  DeleteAll();
  if (buckets <= 0) return;
  m_aT = new Node*[buckets]();
  m_nBuckets = buckets;
}

void CUIStringMap::RemoveAll() { Resize(m_nBuckets); }

CUIStringMap::Node* CUIStringMap::FindNode(const wchar_t* key, Node** head) const {
  if (m_nBuckets == 0 || key == nullptr) return nullptr;
  unsigned int slot = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
  if (head != nullptr) *head = m_aT[slot];
  for (Node* node = m_aT[slot]; node != nullptr; node = node->next) {
    if (node->key == key) return node;
  }
  return nullptr;
}

void* CUIStringMap::Find(const wchar_t* key, bool optimize) const {
  if (m_nBuckets == 0 || m_nCount == 0 || key == nullptr) return nullptr;
  unsigned int slot = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
  Node* node = FindNode(key, nullptr);
  if (node == nullptr) return nullptr;
  if (optimize && node != m_aT[slot]) {
    // Recently found keys move to the head of their chain.
    node->prev->next = node->next;
    if (node->next != nullptr) node->next->prev = node->prev;
    node->prev = nullptr;
    node->next = m_aT[slot];
    m_aT[slot]->prev = node;
    m_aT[slot] = node;
  }
  return node->value;
}

bool CUIStringMap::Insert(const wchar_t* key, void* value) {
  if (m_nBuckets == 0 || key == nullptr) return false;
  if (Find(key) != nullptr) return false;
  unsigned int slot = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
  Node* node = new Node{CUIString(key), value, nullptr, m_aT[slot]};
  if (m_aT[slot] != nullptr) m_aT[slot]->prev = node;
  m_aT[slot] = node;
  ++m_nCount;
  return true;
}

void* CUIStringMap::Set(const wchar_t* key, void* value) {
  if (m_nBuckets == 0 || key == nullptr) return value;
  Node* node = FindNode(key, nullptr);
  if (node != nullptr) {
    void* old = node->value;
    node->value = value;
    return old;
  }
  Insert(key, value);
  return nullptr;
}

bool CUIStringMap::Remove(const wchar_t* key) {
  if (m_nBuckets == 0 || m_nCount == 0 || key == nullptr) return false;
  unsigned int slot = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
  Node* node = FindNode(key, nullptr);
  if (node == nullptr) return false;
  if (node->prev != nullptr)
    node->prev->next = node->next;
  else
    m_aT[slot] = node->next;
  if (node->next != nullptr) node->next->prev = node->prev;
  delete node;
  --m_nCount;
  return true;
}

const wchar_t* CUIStringMap::GetAt(int n) const {
  if (n < 0) return nullptr;
  int index = 0;
  for (int slot = m_nBuckets - 1; slot >= 0; --slot) {
    for (Node* node = m_aT[slot]; node != nullptr; node = node->next) {
      if (index++ == n) return node->key.GetData();
    }
  }
  return nullptr;
}

}  // namespace SkinUI
