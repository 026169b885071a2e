#include "ui/core/base/delegate.h"

namespace SkinUI {

CDelegateBase::CDelegateBase(void* object, const FunctionBits& fn) : m_pObject(object), m_fn(fn) {}

CDelegateBase::CDelegateBase(const CDelegateBase& other) : m_pObject(other.m_pObject), m_fn(other.m_fn) {}

CDelegateBase::~CDelegateBase() = default;

bool CDelegateBase::Equals(const CDelegateBase& other) const {
  return m_pObject == other.m_pObject && std::memcmp(m_fn.bytes, other.m_fn.bytes, sizeof(m_fn.bytes)) == 0;
}

// One call of the source in progress; calls nest when a delegate calls the source again.
class CEventSource::CallFrame {
 public:
// The source holds the frame's flag only while the frame lives: its destructor gives the source
// back the outer frame's flag, or leaves a destroyed source alone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
  explicit CallFrame(CEventSource& source) : m_source(source), m_pOuter(source.m_pDestroyed) {
    source.m_pDestroyed = &m_bDestroyed;
  }
#pragma GCC diagnostic pop
  ~CallFrame() {
    if (!m_bDestroyed)
      m_source.m_pDestroyed = m_pOuter;
    else if (m_pOuter != nullptr)
      *m_pOuter = true;
  }
  bool Destroyed() const { return m_bDestroyed; }

 private:
  CEventSource& m_source;
  bool* m_pOuter;
  bool m_bDestroyed = false;
};

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

bool CEventSource::operator()(void* param) {
  CallFrame frame(*this);
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* d = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
    if (d == nullptr) continue;
    bool goOn = d->Invoke(param);
    if (frame.Destroyed() || !goOn) return false;
  }
  return true;
}

}  // namespace SkinUI
