// The Flash player hosted on the ActiveX control, with its event sink.
#pragma once
#include <windows.h>

#include "ui/extra/activex/activex.h"

namespace SkinUI {

// A host object a Flash control may be given; the control lets it go when it is destroyed.
class IFlashHostHandler {
 public:
  virtual void Release() = 0;

 protected:
  ~IFlashHostHandler() = default;
};

// The Flash player control ({D27CDB6E-AE6D-11CF-96B8-444553540000}); its sink accepts every event.
class CFlashUI : public CActiveXUI, public IDispatch, public ITranslateAccelerator {
 public:
  CFlashUI();
  ~CFlashUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void ReleaseControl() override;
  bool DoCreateControl() override;

  void SetFlashEventHandler(IFlashHostHandler* handler) { m_pFlashEventHandler = handler; }

  // IUnknown and IDispatch: the player's _IShockwaveFlashEvents
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override { return E_NOTIMPL; }
  STDMETHOD(GetTypeInfo)(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override { return E_NOTIMPL; }
  STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override {
    return E_NOTIMPL;
  }
  STDMETHOD(Invoke)
  (DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
   EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    return S_OK;
  }
  // Keys go to the player while the focus is in its window (not registered with the manager).
  LRESULT TranslateAccelerator(MSG* pMsg) override;

 protected:
  HRESULT AdviseEvents(bool advise);

  // The player's IShockwaveFlash, held as the IDispatch it derives from: none of its own
  // operations is called here.
  Microsoft::WRL::ComPtr<IDispatch> m_pFlash;
  LONG m_dwRef;
  DWORD m_dwCookie;
  IFlashHostHandler* m_pFlashEventHandler;
};

}  // namespace SkinUI
