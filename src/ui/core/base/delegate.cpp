#include "ui/core/base/delegate.h"

namespace SkinUI {

CDelegateBase::CDelegateBase(void* object, const FunctionBits& fn) : m_pObject(object), m_fn(fn) {}

CDelegateBase::CDelegateBase(const CDelegateBase& other) : m_pObject(other.m_pObject), m_fn(other.m_fn) {}

CDelegateBase::~CDelegateBase() = default;

bool CDelegateBase::Equals(const CDelegateBase& other) const {
  return m_pObject == other.m_pObject && std::memcmp(m_fn.bytes, other.m_fn.bytes, sizeof(m_fn.bytes)) == 0;
}

CEventSource::~CEventSource() {
  if (m_pDestroyed != nullptr) *m_pDestroyed = true;
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    delete static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
  }
}

bool CEventSource::operator+=(const CDelegateBase& d) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* held = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
    if (held != nullptr && held->Equals(d)) return true;
  }
  CDelegateBase* copy = d.Copy();
  if (m_aDelegates.Add(copy)) return true;
  delete copy;
  return false;
}

CEventSource::operator bool() const { return m_aDelegates.GetSize() > 0; }

// A delegate may delete the object that holds this source, and this source with it: the rest are
// then not called, and the answer is false.
bool CEventSource::operator()(void* param) {
  bool destroyed = false;
  bool* outer = m_pDestroyed;
  m_pDestroyed = &destroyed;
  bool answer = true;
  for (int i = 0; answer && i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* d = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
    if (d != nullptr && !d->Invoke(param)) answer = false;
    if (destroyed) {
      if (outer != nullptr) *outer = true;
      return false;
    }
  }
  m_pDestroyed = outer;
  return answer;
}

}  // namespace SkinUI
