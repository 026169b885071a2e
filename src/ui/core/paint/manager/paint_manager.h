// paint/manager/: the paint manager and its parts, the events it sends to controls, the native
// window wrapper and the drop shadow window. One layer with render/ and control/ (see paint.h).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <unordered_set>
#include <vector>

#include "ui/core/base/dpi_scaler.h"
#include "ui/core/dnd/drag_drop.h"
#include "ui/core/paint/manager/shadow.h"
#include "ui/core/resources/skin_file.h"
#include "ui/core/paint/manager/ui_events.h"
#include "ui/core/base/ui_geometry.h"
#include "ui/core/base/ui_ptr_array.h"
#include "ui/core/base/ui_string.h"
#include "ui/core/base/ui_string_map.h"

namespace SkinUI {

class CControlUI;
struct ImageInfo;
struct ImageDrawInfo;

struct FontInfo {
  HFONT hFont;
  CUIString sFontName;
  int iSize;
  bool bBold;
  bool bUnderline;
  bool bItalic;
  TEXTMETRICW tm;
};

struct ResourceInfo {
  DWORD dwDefaultDisabledColor;
  DWORD dwDefaultFontColor;
  DWORD dwDefaultLinkFontColor;
  DWORD dwDefaultLinkHoverFontColor;
  DWORD dwDefaultSelectedBkColor;
  FontInfo DefaultFontInfo;
  CUIStringMap m_CustomFonts;
  CUIStringMap m_ImageHash;
  CUIStringMap m_AttrHash;
  CUIStringMap m_StyleHash;
  CUIStringMap m_DrawInfoHash;
};

// The window's framework heart: its control tree, painting, resources, input and notifications.
// It is also the window's OLE drop target.
class CPaintManagerUI : public CIDropTarget {
 public:
  CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;
  ~CPaintManagerUI() override;

  // Life and attachment.
  void Init(HWND hWnd, const wchar_t* name = nullptr);
  bool AttachDialog(CControlUI* pControl);
  bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
  void AddDelayedCleanup(CControlUI* pControl);
  void ReapObjects(CControlUI* pControl);
  // Every manager forgets a control that dies, whatever manager the control points at: its
  // listener entries, timers, focus, hover, capture, queued clean-up, name and notifications.
  static void ForgetControl(CControlUI* pControl);
  // A control that moves from `pFormer` to another manager leaves the former's lists and
  // fields (its name stays there until the control dies).
  static void ReleaseMovedControl(CPaintManagerUI* pFormer, CControlUI* pControl);

  // Accessors.
  const wchar_t* GetName() const { return m_sName.GetData(); }
  HWND GetPaintWindow() const { return m_hWndPaint; }
  HDC GetPaintDC() const { return m_hDcPaint; }
  HDC GetOffscreenDC() const { return m_hDcOffscreen; }
  LPDWORD GetOffscreenBits() const { return m_pOffscreenBits; }
  CControlUI* GetRoot() const { return m_pRoot; }
  CShadowUI* GetShadow() { return &m_shadow; }
  CDPIScaler* GetDPIObject();
  CUISize GetInitSize();
  void SetInitSize(int cx, int cy);
  CUISize GetMinInfo() const { return m_szMinWindow; }
  void SetMinInfo(int cx, int cy);
  void SetMaxInfo(int cx, int cy);
  CUIRect GetSizeBox() const { return m_rcSizeBox; }
  void SetSizeBox(const RECT& rc) { m_rcSizeBox = rc; }
  CUIRect GetCaptionRect() const { return m_rcCaption; }
  void SetCaptionRect(const RECT& rc) { m_rcCaption = rc; }
  CUISize GetRoundCorner() const { return m_szRoundCorner; }
  void SetRoundCorner(int cx, int cy);
  POINT GetMousePos() const { return m_ptLastMousePos; }
  bool IsLayered() const { return m_bLayered; }
  bool IsCaptured() const { return m_bMouseCapture; }
  void SetShowUpdateRect(bool show) { m_bShowUpdateRect = show; }
  bool IsUseGdiplusText() const { return m_bUseGdiplusText; }
  void SetUseGdiplusText(bool use) { m_bUseGdiplusText = use; }
  int GetGdiplusTextRenderingHint() const { return m_trh; }
  void SetGdiplusTextRenderingHint(int hint) { m_trh = hint; }
  void SetHoverTime(int ms) { m_iHoverTime = ms; }
  void SetForceSharedResources(bool force) { m_bForceUseSharedRes = force; }
  void SetUsedVirtualWnd(bool used) { m_bUsedVirtualWnd = used; }
  bool GetHSL(short* H, short* S, short* L);
  BYTE GetOpacity() const { return m_nOpacity; }
  void SetOpacity(BYTE nOpacity);
  void SetLayeredOpacity(BYTE nOpacity);
  void SetLayered(bool bLayered);
  DWORD GetLastLayeredUpdateError() const { return m_dwLayeredError; }

  void NeedUpdate();
  bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
  void Invalidate();
  void Invalidate(RECT& rcItem);
  static bool GetChildWndRect(HWND hWnd, HWND hChildWnd, RECT& rcChildWnd);

  // Listener lists.
  bool AddNotifier(INotifyUI* pControl);
  bool RemoveNotifier(INotifyUI* pControl);
  bool AddPreMessageFilter(IMessageFilterUI* pFilter);
  bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
  bool AddMessageFilter(IMessageFilterUI* pFilter);
  bool RemoveMessageFilter(IMessageFilterUI* pFilter);
  bool AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
  bool RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
  bool AddPostPaint(CControlUI* pControl);
  bool RemovePostPaint(CControlUI* pControl);
  int GetPostPaintCount() const { return m_aPostPaintControls.GetSize(); }
  bool AddNativeWindow(HWND hChildWnd);
  bool RemoveNativeWindow(HWND hChildWnd);

  // Names and option groups.
  CControlUI* FindControl(const wchar_t* name) const;
  CControlUI* FindControl(POINT pt) const;
  bool AddOptionGroup(const wchar_t* group, CControlUI* pControl);
  CUIPtrArray* GetOptionGroup(const wchar_t* group);
  void RemoveOptionGroup(const wchar_t* group, CControlUI* pControl);
  void RemoveAllOptionGroups();

  // Fonts.
  HFONT AddFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic, bool shared = false);
  HFONT GetFont(int id);
  HFONT GetFont(const wchar_t* name, int size, bool bold, bool underline, bool italic);
  FontInfo* GetFontInfo(int id);
  FontInfo* GetFontInfo(HFONT hFont);
  FontInfo* GetDefaultFontInfo();
  void SetDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool shared = false);
  void RemoveAllFonts(bool shared = false);
  void AddFontFile(const wchar_t* file);

  // Default colours.
  DWORD GetDefaultDisabledColor() const;
  void SetDefaultDisabledColor(DWORD color, bool shared = false);
  DWORD GetDefaultFontColor() const;
  void SetDefaultFontColor(DWORD color, bool shared = false);
  DWORD GetDefaultLinkFontColor() const;
  void SetDefaultLinkFontColor(DWORD color, bool shared = false);
  DWORD GetDefaultLinkHoverFontColor() const;
  void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
  DWORD GetDefaultSelectedBkColor() const;
  void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

  // Images, draw strings, default attribute lists and styles.
  const ImageInfo* GetImage(const wchar_t* bitmap);
  const ImageInfo* GetImageEx(const wchar_t* bitmap, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false,
                              HINSTANCE instance = nullptr);
  const ImageInfo* AddImage(const wchar_t* bitmap, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false,
                            bool shared = false, HINSTANCE instance = nullptr);
  void RemoveImage(const wchar_t* bitmap, bool shared = false);
  void RemoveAllImages(bool shared = false);
  void RemoveAllDrawInfos();
  const ImageDrawInfo* GetDrawInfo(const wchar_t* pStrImage, const wchar_t* pStrModify);
  void AddDefaultAttributeList(const wchar_t* controlName, const wchar_t* attrList, bool shared = false);
  const wchar_t* GetDefaultAttributeList(const wchar_t* controlName) const;
  void RemoveAllDefaultAttributeList(bool shared = false);
  void AddStyle(const wchar_t* name, const wchar_t* style, bool shared = false);
  const wchar_t* GetStyle(const wchar_t* name) const;
  void RemoveAllStyles(bool shared = false);

  // Process-wide skin settings.
  static HINSTANCE GetInstance();
  static void SetInstance(HINSTANCE hInst);
  static HINSTANCE GetResourceInstance();
  static CUIString GetInstancePath();
  static const wchar_t* GetResourcePath();
  static void SetResourcePath(const wchar_t* path);
  static int GetResourceType();
  static void SetResourceType(int type);
  static const wchar_t* GetResourceZip();
  static HZIPARCHIVE GetResourceZipHandle();
  static bool IsCachedResourceZip();
  static const wchar_t* GetResourceZipPassword();
  static void SetResourceZip(const wchar_t* zipName, bool cached = false, const wchar_t* password = nullptr);
  static void SetResourceZip(const void* data, unsigned int size, const wchar_t* password = nullptr);
  static void CloseResourceZip();
  static ResourceInfo& GetSharedResources();

  // Messages.
  bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
  bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
  bool TranslateAccelerator(MSG* pMsg);
  static void MessageLoop();
  static bool TranslateMessage(const MSG* pMsg);

  // Notifications.
  void SendNotify(NotifyRecordUI& Msg, bool bAsync = false);
  void SendNotify(CControlUI* pControl, const wchar_t* pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                  bool bAsync = false);

  // Timers.
  bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
  bool KillTimer(CControlUI* pControl, UINT nTimerID);
  void KillTimer(CControlUI* pControl);
  void RemoveAllTimers();

  // Focus and capture.
  CControlUI* GetFocus() const { return m_pFocus; }
  void SetFocus(CControlUI* pControl);
  void SetFocusNeeded(CControlUI* pControl);
  bool SetNextTabControl(bool bForward = true);
  void SetCapture();
  void ReleaseCapture();
  CControlUI* FindControlAt(POINT pt) const;

  // Drag and drop: a dropped picture goes to the window as STM_SETIMAGE.
  bool OnDrop(FORMATETC* pFmtEtc, STGMEDIUM& medium, DWORD* pdwEffect) override;

  // Caret drawn for a windowless text control.
  bool CreateCaret(HBITMAP hBmp, int nWidth, int nHeight);
  bool SetCaretPos(CControlUI* obj, int x, int y);
  bool ShowCaret(bool bShow);
  CControlUI* GetCaretOwner() const { return m_pCaretOwner; }
  void DrawCaret(HDC hDC, const RECT& rcPaint);

  static const UINT kCleanupMessage = WM_APP + 1;
  static const UINT kCaretTimerId = 0x1999;
  static const UINT kControlTimerSpan = 240;

 private:
  void OnPaint(LRESULT& lRes);
  bool LayoutIfNeeded(const RECT& rcClient);
  void PaintOffscreen(HDC hDC, RECT& rcPaint, const RECT& rcClient);
  void PaintLayeredChildren(const RECT& rcPaint, const RECT& rcClient);
  void PresentLayered(const RECT& rcClient);
  void ClearLayeredPixels(const RECT& rc, bool fixAlpha);
  void DeleteOffscreen();

  void OnCleanupMessage();
  void DeleteDelayedCleanup();
  void NoteListener(void* pListener, CControlUI* pOwner);
  bool ListenerAttached(void* pListener) const;
  void ReleaseControl(CControlUI* pControl);
  void ReleaseTimers(CControlUI* pControl);
  void ReleaseListeners(CControlUI* pControl);
  void ReleaseOptionGroups(CControlUI* pControl);
  void OnTimerMessage(WPARAM wParam, LPARAM lParam);
  bool TimerIdInUse(UINT uWinTimer) const;
  bool OnMouseHover(WPARAM wParam, LPARAM lParam);
  void OnMouseLeave();
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void OnButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void OnContextMenu(WPARAM wParam, LPARAM lParam);
  void OnMouseWheel(WPARAM wParam, LPARAM lParam);
  bool OnSetCursor(WPARAM wParam, LPARAM lParam);
  void OnClose();
  // The focused control loses the focus to pNext (may be null): its event and "killfocus".
  void KillFocus(CControlUI* pNext);
  void DragControlPicture();
  // Hands a dropped picture to the window (STM_SETIMAGE); true when the window keeps it.
  bool SendDroppedImage(HBITMAP hBitmap);
  // The same for a picture made here: freed when the window does not keep it.
  void SendMadeImage(HBITMAP hBitmap);
  void OnPrintClient(WPARAM wParam, LPARAM lParam);
  void ShowToolTip(CControlUI* pControl);
  void HideToolTip();
  void SendEvent(CControlUI* pControl, int type, WPARAM wParam, LPARAM lParam, POINT pt, wchar_t chKey = 0,
                 WORD wKeyState = 0);
  void DeliverNotify(NotifyRecordUI& Msg);
  CControlUI* ControlAtForThisManager(POINT pt) const;

  static void FillFontInfo(const wchar_t* name, int size, bool bold, bool underline, bool italic, FontInfo* info);
  static void DeleteFontInfo(FontInfo* info);
  void MeasureFont(FontInfo* info);
  ResourceInfo& ResourcesFor(bool shared);
  static void RemoveAllFontsIn(ResourceInfo& res);
  static void RemoveAllImagesIn(ResourceInfo& res);
  static void RemoveAllStringsIn(CUIStringMap& map);
  static CControlUI* CALLBACK __FindControlFromNameHash(CControlUI* pThis, LPVOID pData);
  static CControlUI* CALLBACK __FindControlFromPoint(CControlUI* pThis, LPVOID pData);
  static CControlUI* CALLBACK __FindControlFromTab(CControlUI* pThis, LPVOID pData);
  static CControlUI* CALLBACK __FindControlFromShortcut(CControlUI* pThis, LPVOID pData);
  static CControlUI* CALLBACK __FindControlFromUpdate(CControlUI* pThis, LPVOID pData);

  CUIString m_sName;
  HWND m_hWndPaint;
  HDC m_hDcPaint;
  HDC m_hDcOffscreen;
  HDC m_hDcBackground;
  HBITMAP m_hbmpOffscreen;
  LPDWORD m_pOffscreenBits;
  HBITMAP m_hbmpBackground;

  CDPIScaler* m_pDPI;
  bool m_bShowUpdateRect;
  bool m_bUseGdiplusText;
  int m_trh;
  ULONG_PTR m_gdiplusToken;

  HWND m_hwndTooltip;
  TOOLINFOW m_ToolTip;
  CUIString m_sToolTipText;
  int m_iHoverTime;

  RECT m_rtCaret;
  bool m_bCaretShowing;
  bool m_bCaretActive;
  CControlUI* m_pCaretOwner;

  CControlUI* m_pRoot;
  CShadowUI m_shadow;
  CControlUI* m_pFocus;
  CControlUI* m_pEventHover;
  CControlUI* m_pEventClick;
  CControlUI* m_pEventKey;
  POINT m_ptLastMousePos;

  CUISize m_szMinWindow;
  CUISize m_szMaxWindow;
  CUISize m_szInitWindowSize;
  CUIRect m_rcSizeBox;
  CUISize m_szRoundCorner;
  CUIRect m_rcCaption;
  UINT m_uTimerID;

  bool m_bFirstLayout;
  bool m_bUpdateNeeded;
  bool m_bFocusNeeded;
  bool m_bOffscreenPaint;
  BYTE m_nOpacity;
  bool m_bLayered;
  bool m_bLayeredOpacitySet;
  CUIRect m_rcLayeredUpdate;
  DWORD m_dwLayeredError;
  // The box of what Invalidate was given since the last BeginPaint.
  RECT m_rcInvalidated = {0, 0, 0, 0};

  bool m_bDragMode;
  HBITMAP m_hDragBitmap;

  bool m_bMouseTracking;
  bool m_bMouseCapture;
  bool m_bIsPainting;
  bool m_bUsedVirtualWnd;

  CUIPtrArray m_aNotifiers;
  CUIPtrArray m_aTimers;
  CUIPtrArray m_aTranslateAccelerator;
  CUIPtrArray m_aPreMessageFilters;
  CUIPtrArray m_aMessageFilters;
  CUIPtrArray m_aPostPaintControls;
  CUIPtrArray m_aNativeWindow;
  CUIPtrArray m_aDelayedCleanup;
  CUIPtrArray m_aAsyncNotify;
  CUIPtrArray m_aFoundControls;
  CUIPtrArray m_aFonts;
  CUIStringMap m_mNameHash;
  CUIStringMap m_mOptionGroup;

  bool m_bForceUseSharedRes;
  ResourceInfo m_ResInfo;

  // The listeners of the four lists above that are controls, with the control each belongs to.
  struct ListenerOwner {
    void* listener;
    CControlUI* owner;
  };
  std::vector<ListenerOwner> m_listenerOwners;
  // The controls of the delayed clean-up list, for finding one without walking the list.
  std::unordered_set<const CControlUI*> m_queuedForCleanup;
};

}  // namespace SkinUI
