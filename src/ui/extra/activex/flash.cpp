#include "ui/extra/activex/flash.h"

#include <cwchar>

using Microsoft::WRL::ComPtr;

namespace SkinUI {

namespace {
const IID kIID_IShockwaveFlash = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kDIID_IShockwaveFlashEvents = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
}  // namespace

CFlashUI::CFlashUI() : m_dwRef(0), m_dwCookie(0), m_pFlashEventHandler(nullptr) {
  ::CLSIDFromString(L"{D27CDB6E-AE6D-11CF-96B8-444553540000}", &m_clsid);
}

CFlashUI::~CFlashUI() {
  if (m_pFlashEventHandler != nullptr) {
    m_pFlashEventHandler->Release();
    m_pFlashEventHandler = nullptr;
  }
  ReleaseControl();
}

const wchar_t* CFlashUI::GetClass() const { return L"Flash"; }

LPVOID CFlashUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Flash") == 0) return static_cast<CFlashUI*>(this);
  return CActiveXUI::GetInterface(pstrName);
}

bool CFlashUI::DoCreateControl() {
  if (!CActiveXUI::DoCreateControl()) return false;
  GetControl(kIID_IShockwaveFlash, reinterpret_cast<void**>(m_pFlash.ReleaseAndGetAddressOf()));
  AdviseEvents(true);
  return true;
}

// Lets the player go with the object: a control created again releases the one it had.
void CFlashUI::ReleaseControl() {
  AdviseEvents(false);
  m_pFlash.Reset();
  CActiveXUI::ReleaseControl();
}

HRESULT CFlashUI::AdviseEvents(bool advise) {
  if (m_pFlash == nullptr || (!advise && m_dwCookie == 0)) return S_FALSE;
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr =
      m_pFlash->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPoint> point;
  hr = container->FindConnectionPoint(kDIID_IShockwaveFlashEvents, point.GetAddressOf());
  if (FAILED(hr)) return hr;
  if (advise) return point->Advise(static_cast<IDispatch*>(this), &m_dwCookie);
  hr = point->Unadvise(m_dwCookie);
  m_dwCookie = 0;
  return hr;
}

LRESULT CFlashUI::TranslateAccelerator(MSG* pMsg) { return TranslateKeyForObject(m_pFlash.Get(), m_hwndHost, pMsg); }

STDMETHODIMP CFlashUI::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch && riid != kDIID_IShockwaveFlashEvents) return E_NOINTERFACE;
  *ppvObject = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CFlashUI::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }
STDMETHODIMP_(ULONG) CFlashUI::Release() { return static_cast<ULONG>(::InterlockedDecrement(&m_dwRef)); }

}  // namespace SkinUI
