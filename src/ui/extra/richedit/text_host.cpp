#include "ui/extra/richedit/text_host.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/richedit/richedit.h"

namespace SkinUI {

namespace {

// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
const IID kIIDTextServices = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
const LONG kDefaultMaxLength = 32767;
const LONG kDefaultTabTwips = 720;

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

LONG HimetricFromPixels(LONG pixels, int dpi) { return ::MulDiv(pixels, 2540, dpi); }

LONG TwipsFromFontHeight(LONG lfHeight, int dpi) { return -lfHeight * 1440 / dpi; }

// Size, face, character set, pitch and the effects a font carries; effects are only ever added.
void CopyFontInto(const LOGFONTW& lf, int dpi, CHARFORMAT2W* cf) {
  cf->yHeight = TwipsFromFontHeight(lf.lfHeight, dpi);
  if (lf.lfWeight >= FW_BOLD) cf->dwEffects |= CFE_BOLD;
  if (lf.lfItalic) cf->dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) cf->dwEffects |= CFE_UNDERLINE;
  cf->bCharSet = lf.lfCharSet;
  cf->bPitchAndFamily = lf.lfPitchAndFamily;
  wcsncpy(cf->szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
  cf->szFaceName[LF_FACESIZE - 1] = L'\0';
}

}  // namespace

bool CTxtWinHost::CreateTextHost(CRichEditUI* owner, const CREATESTRUCTW* cs, CTxtWinHost** host) {
  CTxtWinHost* made = new CTxtWinHost();
  if (!made->Init(owner, cs)) {
    delete made;
    return false;
  }
  *host = made;
  return true;
}

bool CTxtWinHost::Init(CRichEditUI* owner, const CREATESTRUCTW* cs) {
  m_pOwner = owner;
  m_cRefs = 1;
  if (FAILED(InitDefaultCharFormat(owner, &m_cf, nullptr)) || FAILED(InitDefaultParaFormat(owner, &m_pf))) {
    return false;
  }
  m_dwStyle = ES_MULTILINE;
  SetFlag(kRichText, owner->IsRich());
  m_cchTextMost = owner->GetLimitText();
  if (cs != nullptr) {
    m_dwStyle = static_cast<unsigned>(cs->style);
    if ((m_dwStyle & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0) SetFlag(kWordWrap, true);
    if ((m_dwStyle & ES_CENTER) != 0)
      m_pf.wAlignment = PFA_CENTER;
    else if ((m_dwStyle & ES_RIGHT) != 0)
      m_pf.wAlignment = PFA_RIGHT;
  }
  SetFlag(kInPlaceActive, true);
  if (!CreateServices()) return false;
  ApplyMaxLength();
  if (cs != nullptr && cs->lpszName != nullptr && cs->lpszName[0] != L'\0') {
    NoteIncomingText(cs->lpszName, true);
    return SUCCEEDED(m_pServices->TxSetText(cs->lpszName));
  }
  return true;
}

bool CTxtWinHost::CreateServices() {
  HMODULE library = ::LoadLibraryW(L"Msftedit.dll");
  if (library == nullptr) return false;
  auto create =
      reinterpret_cast<PCreateTextServices>(reinterpret_cast<void*>(::GetProcAddress(library, "CreateTextServices")));
  IUnknown* unknown = nullptr;
  if (create == nullptr || FAILED(create(nullptr, this, &unknown)) || unknown == nullptr) return false;
  HRESULT hr = unknown->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&m_pServices));
  unknown->Release();
  if (FAILED(hr)) m_pServices = nullptr;
  return m_pServices != nullptr;
}

CTxtWinHost::~CTxtWinHost() {
  if (m_pServices != nullptr) {
    m_pServices->OnTxInPlaceDeactivate();
    m_pServices->Release();
  }
  if (m_hdcOwnerless != nullptr) ::DeleteDC(m_hdcOwnerless);
}

void CTxtWinHost::LeaveOwner() {
  if (m_cRefs > 1) {
    m_pOwner = nullptr;
    m_hdcOwnerless = ::CreateCompatibleDC(nullptr);
  }
  Release();
}

CPaintManagerUI* CTxtWinHost::Manager() const { return m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr; }

HRESULT CTxtWinHost::InitDefaultCharFormat(CRichEditUI* owner, CHARFORMAT2W* pcf, HFONT font) {
  ZeroMemory(pcf, sizeof(*pcf));
  CPaintManagerUI* manager = owner->GetManager();
  if (manager == nullptr) return E_FAIL;
  if (font == nullptr) font = manager->GetFont(owner->GetFont());
  LOGFONTW lf;
  if (::GetObjectW(font, sizeof(lf), &lf) == 0) return E_FAIL;
  DWORD color = owner->GetTextColor();
  if (manager->IsLayered()) CRenderEngine::NudgeBlackColor(color);
  pcf->cbSize = sizeof(CHARFORMAT2W);
  pcf->crTextColor = ToColorRef(color);
  pcf->yOffset = 0;
  pcf->dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  CopyFontInto(lf, ::GetDeviceCaps(manager->GetPaintDC(), LOGPIXELSY), pcf);
  return S_OK;
}

HRESULT CTxtWinHost::InitDefaultParaFormat(CRichEditUI*, PARAFORMAT2* ppf) {
  ZeroMemory(ppf, sizeof(*ppf));
  ppf->cbSize = sizeof(PARAFORMAT2);
  ppf->dwMask = PFM_ALL;
  ppf->wAlignment = PFA_LEFT;
  ppf->cTabCount = 1;
  ppf->rgxTabs[0] = kDefaultTabTwips;
  return S_OK;
}

bool CTxtWinHost::IsLayered() const { return Manager() != nullptr && Manager()->IsLayered(); }

int CTxtWinHost::LogPixels(int index) const {
  return ::GetDeviceCaps(Manager() != nullptr ? Manager()->GetPaintDC() : m_hdcOwnerless, index);
}

// Wine's text services wrap a paragraph at a cost that grows with its length squared over the
// characters a line holds, at every change: a paragraph of some thousand characters wrapped at no
// width (before the first layout) or at a few pixels held the window for seconds, one of 32,000
// characters at any width for minutes. Such text is laid out as one line instead: an area too
// narrow to wrap shows nothing readable, and a paragraph that long is no real skin's text.
namespace {

constexpr int kMinWrapWidth = 64;
constexpr size_t kMaxWrappedParagraph = 4096;

size_t LongestParagraph(const wchar_t* text) {
  size_t longest = 0, run = 0;
  for (const wchar_t* p = text; *p != L'\0'; ++p) {
    run = (*p == L'\r' || *p == L'\n') ? 0 : run + 1;
    if (run > longest) longest = run;
  }
  return longest;
}

}  // namespace

bool CTxtWinHost::WrapsNow() const {
  return (m_flags & kWordWrap) != 0 && (m_flags & kLongParagraph) == 0 &&
         m_rcClient.right - m_rcClient.left >= kMinWrapWidth;
}

void CTxtWinHost::ChangeLayout(bool wrapped) {
  Hold hold(this);
  const DWORD mask = TXTBIT_CLIENTRECTCHANGE | (WrapsNow() != wrapped ? TXTBIT_WORDWRAP : 0);
  m_pServices->OnTxPropertyBitsChange(mask, TXTBIT_CLIENTRECTCHANGE | (WrapsNow() ? TXTBIT_WORDWRAP : 0));
}

void CTxtWinHost::SetClientRect(const RECT* prc) {
  const bool wrapped = WrapsNow();
  m_rcClient = *prc;
  m_sizelExtent.cx = HimetricFromPixels(m_rcClient.right - m_rcClient.left, LogPixels(LOGPIXELSX));
  m_sizelExtent.cy = HimetricFromPixels(m_rcClient.bottom - m_rcClient.top, LogPixels(LOGPIXELSY));
  ChangeLayout(wrapped);
}

void CTxtWinHost::NoteIncomingText(const wchar_t* text, bool whole) {
  const bool longParagraph = text != nullptr && LongestParagraph(text) > kMaxWrappedParagraph;
  if (!longParagraph && !whole) return;
  const bool wrapped = WrapsNow();
  SetFlag(kLongParagraph, longParagraph);
  if (m_pServices != nullptr && WrapsNow() != wrapped) ChangeLayout(wrapped);
}

void CTxtWinHost::SetColor(DWORD argb) {
  Hold hold(this);
  CRenderEngine::NudgeBlackColor(argb);
  m_cf.crTextColor = ToColorRef(argb);
  m_pServices->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetFont(HFONT font) {
  if (font == nullptr) return;
  LOGFONTW lf;
  if (::GetObjectW(font, sizeof(lf), &lf) == 0) return;
  CopyFontInto(lf, LogPixels(LOGPIXELSY), &m_cf);
  Hold hold(this);
  m_pServices->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetMaxLength(int length) {
  Hold hold(this);
  m_cchTextMost = length < 1 ? kDefaultMaxLength : length;
  m_pServices->OnTxPropertyBitsChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
  ApplyMaxLength();
}

// Text services that do not ask the host for the maximum length (Wine's) are told it as well.
void CTxtWinHost::ApplyMaxLength() {
  Hold hold(this);
  LRESULT ignored = 0;
  m_pServices->TxSendMessage(EM_EXLIMITTEXT, 0, m_cchTextMost, &ignored);
}

void CTxtWinHost::SetRichTextMode(bool rich) {
  Hold hold(this);
  SetFlag(kRichText, rich);
  m_pServices->OnTxPropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetTransparent(bool transparent) {
  Hold hold(this);
  SetFlag(kTransparent, transparent);
  m_pServices->OnTxPropertyBitsChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::ActivateInPlace(const RECT* prc) {
  Hold hold(this);
  SetFlag(kInPlaceActive, true);
  if (FAILED(m_pServices->OnTxInPlaceActivate(prc))) SetFlag(kInPlaceActive, false);
}

bool CTxtWinHost::DoSetCursor(const RECT* prc, const POINT* pt) {
  RECT rc = prc != nullptr ? *prc : m_rcClient;
  if (!::PtInRect(&rc, *pt) || Manager() == nullptr) return false;
  Hold hold(this);
  const RECT* client = ((m_flags & kInPlaceActive) != 0 && prc == nullptr) ? nullptr : &rc;
  m_pServices->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, Manager()->GetPaintDC(), nullptr, client, pt->x,
                             pt->y);
  return true;
}

}  // namespace SkinUI
