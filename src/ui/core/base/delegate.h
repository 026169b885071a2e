#pragma once
#include <cstring>

#include "ui/core/base/ui_ptr_array.h"

namespace SkinUI {

// A callback: an object and one of its member functions taking an untyped parameter.
class CDelegateBase {
 public:
  // Room for a member-function pointer of any single-inheritance class.
  struct FunctionBits {
    unsigned char bytes[2 * sizeof(void*)];
  };

  CDelegateBase(void* object, const FunctionBits& fn);
  CDelegateBase(const CDelegateBase& other);
  virtual ~CDelegateBase();
  virtual CDelegateBase* Copy() const = 0;
  virtual bool Invoke(void* param) = 0;

  bool Equals(const CDelegateBase& other) const;
  void* GetTarget() const { return m_pObject; }

 protected:
  const FunctionBits& GetFunction() const { return m_fn; }

 private:
  void* m_pObject;
  FunctionBits m_fn;
};

template <class O, class T>
class CDelegate : public CDelegateBase {
 public:
  typedef bool (T::*Fn)(void*);

  CDelegate(O* object, Fn fn) : CDelegateBase(object, Pack(fn)) {}
  CDelegate(const CDelegate& other) : CDelegateBase(other) {}

  CDelegateBase* Copy() const override { return new CDelegate(*this); }

  bool Invoke(void* param) override {
    O* object = static_cast<O*>(GetTarget());
    return (object->*Unpack(GetFunction()))(param);
  }

 private:
  static FunctionBits Pack(Fn fn) {
    static_assert(sizeof(Fn) <= sizeof(FunctionBits), "member function pointer too large");
    FunctionBits bits = {};
    std::memcpy(bits.bytes, &fn, sizeof(Fn));
    return bits;
  }
  static Fn Unpack(const FunctionBits& bits) {
    Fn fn;
    std::memcpy(&fn, bits.bytes, sizeof(Fn));
    return fn;
  }
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* object, bool (T::*fn)(void*)) {
  return CDelegate<O, T>(object, fn);
}

// An ordered list of owned delegates.
class CEventSource {
 public:
  CEventSource() = default;
  CEventSource(const CEventSource&) = delete;
  CEventSource& operator=(const CEventSource&) = delete;
  ~CEventSource();

  bool operator+=(const CDelegateBase& d);
  explicit operator bool() const;
  bool operator()(void* param);

 private:
  CUIPtrArray m_aDelegates;
  // Set by the destructor while the delegates are being called.
  bool* m_pDestroyed = nullptr;
};

}  // namespace SkinUI
