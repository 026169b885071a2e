#include "ui/core/base/delegate.h"

namespace SkinUI {

CDelegateBase::CDelegateBase(void* object, const FunctionBits& fn) : m_pObject(object), m_fn(fn) {}

CDelegateBase::CDelegateBase(const CDelegateBase& other) : m_pObject(other.m_pObject), m_fn(other.m_fn) {}

CDelegateBase::~CDelegateBase() = default;

bool CDelegateBase::Equals(const CDelegateBase& other) const {
  return m_pObject == other.m_pObject && std::memcmp(m_fn.bytes, other.m_fn.bytes, sizeof(m_fn.bytes)) == 0;
}

CEventSource::~CEventSource() {
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

bool CEventSource::operator()(void* param) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* d = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
    if (d != nullptr && !d->Invoke(param)) return false;
  }
  return true;
}

}  // namespace SkinUI
