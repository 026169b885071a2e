#pragma once
#include <windows.h>
#include <richedit.h>
#include <textserv.h>

namespace SkinUI {

class CPaintManagerUI;
class CRichEditUI;
class CScrollBarUI;

// The platform's text host interface as mingw declares it: on i686 its methods are thiscall, the
// convention the text services call them with.
using ITextHost = ::ITextHost;

// Connects one rich edit control to the platform's windowless text services: it answers their
// questions from its own fields and turns their requests (caret, timers, capture, scroll bars,
// invalidation) into calls on the control and its window's paint manager.
class CTxtWinHost : public ITextHost {
 public:
  // A new host with one reference held by the caller; false (and `host` untouched) when the text
  // services cannot be created. Only the record's style and window name are read.
  static bool CreateTextHost(CRichEditUI* owner, const CREATESTRUCTW* cs, CTxtWinHost** host);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ITextHost, in the platform's order.
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC hdc) override;
  WINBOOL TxShowScrollBar(INT fnBar, WINBOOL fShow) override;
  WINBOOL TxEnableScrollBar(INT fuSBFlags, INT fuArrowflags) override;
  WINBOOL TxSetScrollRange(INT fnBar, LONG nMinPos, INT nMaxPos, WINBOOL fRedraw) override;
  WINBOOL TxSetScrollPos(INT fnBar, INT nPos, WINBOOL fRedraw) override;
  void TxInvalidateRect(LPCRECT prc, WINBOOL fMode) override;
  void TxViewChange(WINBOOL fUpdate) override;
  WINBOOL TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight) override;
  WINBOOL TxShowCaret(WINBOOL fShow) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT idTimer, UINT uTimeout) override;
  void TxKillTimer(UINT idTimer) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT lprcScroll, LPCRECT lprcClip, HRGN hrgnUpdate, LPRECT lprcUpdate,
                        UINT fuScroll) override;
  void TxSetCapture(WINBOOL fCapture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR hcur, WINBOOL fText) override;
  WINBOOL TxScreenToClient(LPPOINT lppt) override;
  WINBOOL TxClientToScreen(LPPOINT lppt) override;
  HRESULT TxActivate(LONG* plOldState) override;
  HRESULT TxDeactivate(LONG lNewState) override;
  HRESULT TxGetClientRect(LPRECT prc) override;
  HRESULT TxGetViewInset(LPRECT prc) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** ppCF) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** ppPF) override;
  COLORREF TxGetSysColor(int nIndex) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* pstyle) override;
  HRESULT TxGetMaxLength(DWORD* plength) override;
  HRESULT TxGetScrollBars(DWORD* pdwScrollBar) override;
  HRESULT TxGetPasswordChar(TCHAR* pch) override;
  HRESULT TxGetAcceleratorPos(LONG* pcp) override;
  HRESULT TxGetExtent(LPSIZEL lpExtent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* pcf) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* ppf) override;
  HRESULT TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits) override;
  HRESULT TxNotify(DWORD iNotify, void* pv) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC himc) override;
  HRESULT TxGetSelectionBarWidth(LONG* lSelBarWidth) override;

  // Deactivates and releases the text services.
  virtual ~CTxtWinHost();

  // Keeps the host, and its text services, over a call into them: the control may go meanwhile.
  class Hold {
   public:
    explicit Hold(CTxtWinHost* host) : m_pHost(host) {
      if (m_pHost != nullptr) m_pHost->AddRef();
    }
    ~Hold() {
      if (m_pHost != nullptr) m_pHost->Release();
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    CTxtWinHost* m_pHost;
  };

  // The owning control goes and gives up its reference. A call into the text services that is
  // still running keeps the host until it returns; their callbacks meanwhile reach no control.
  void LeaveOwner();

  // What the control asks of its host.
  ITextServices* GetTextServices() const { return m_pServices; }
  void SetClientRect(const RECT* prc);
  // Called before `text` reaches the text services: as the whole new text, or as a piece added to
  // the text there. A paragraph too long to wrap turns wrapping off until a whole text without one.
  void NoteIncomingText(const wchar_t* text, bool whole);
  void GetControlRect(RECT* prc) const { *prc = m_rcClient; }
  void SetColor(DWORD argb);
  void SetFont(HFONT font);
  void SetMaxLength(int length);
  void SetRichTextMode(bool rich);
  void SetTransparent(bool transparent);
  void ActivateInPlace(const RECT* prc);
  bool DoSetCursor(const RECT* prc, const POINT* pt);
  bool IsCaptured() const { return (m_flags & kCaptured) != 0; }

  static HRESULT InitDefaultCharFormat(CRichEditUI* owner, CHARFORMAT2W* pcf, HFONT font);
  static HRESULT InitDefaultParaFormat(CRichEditUI* owner, PARAFORMAT2* ppf);

 private:
  enum Flag : unsigned {
    kAutoWordSelect = 1,
    kWordWrap = 2,
    kAllowBeep = 4,
    kRichText = 8,
    kSaveSelection = 16,
    kInPlaceActive = 32,
    kTransparent = 64,
    kTimerSet = 128,
    kCaptured = 256,
    kCaretShown = 512,
    kLongParagraph = 1024,
  };

  CTxtWinHost() = default;
  bool Init(CRichEditUI* owner, const CREATESTRUCTW* cs);
  bool CreateServices();
  void ApplyMaxLength();
  void SetFlag(unsigned flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }
  bool IsLayered() const;
  bool WrapsNow() const;
  // Tells the text services of a change of the client rectangle and of whether they wrap now.
  void ChangeLayout(bool wrapped);
  int LogPixels(int index) const;
  // The owner's vertical (SB_VERT) or horizontal (SB_HORZ) bar, null when it has none.
  CScrollBarUI* Bar(int which) const;

  // The owner's paint manager, null once the owner has gone.
  CPaintManagerUI* Manager() const;

  CRichEditUI* m_pOwner = nullptr;
  HDC m_hdcOwnerless = nullptr;  // answers the text services after the owner has gone
  ULONG m_cRefs = 0;
  ITextServices* m_pServices = nullptr;
  unsigned m_dwStyle = ES_MULTILINE;
  unsigned m_flags = 0;
  int m_xWidthCaret = 0;
  int m_yHeightCaret = 0;
  LONG m_lSelBarWidth = 0;
  LONG m_cchTextMost = 32767;
  RECT m_rcClient = {};
  SIZEL m_sizelExtent = {};
  CHARFORMAT2W m_cf = {};
  PARAFORMAT2 m_pf = {};
  LONG m_laccelpos = -1;
  // What a password control shows instead of each character.
  wchar_t m_chPasswordChar = L'*';
};

}  // namespace SkinUI
