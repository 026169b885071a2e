#pragma once
#include <windows.h>

#include "ui/core/base/ui_string.h"

namespace SkinUI {

class CPaintManagerUI;

// A layered, click-through window behind a framework window that paints its soft shadow.
class CShadowUI {
 public:
  CShadowUI();
  CShadowUI(const CShadowUI&) = delete;
  CShadowUI& operator=(const CShadowUI&) = delete;
  virtual ~CShadowUI();

  static bool Initialize(HINSTANCE hInstance);
  void Create(CPaintManagerUI* pPaintManager);
  bool SetSize(int NewSize = 0);
  bool SetSharpness(unsigned int NewSharpness = 5);
  bool SetDarkness(unsigned int NewDarkness = 200);
  bool SetPosition(int NewXOffset = 5, int NewYOffset = 5);
  bool SetColor(COLORREF NewColor = 0);
  bool SetImage(const wchar_t* szImage);
  bool SetShadowCorner(RECT rcCorner);
  void ShowShadow(bool bShow);
  bool IsShowShadow() const { return m_bIsShowShadow; }
  bool CopyShadow(CShadowUI* pShadow);
  void Update(HWND hParent);
  HWND GetHWND() const { return m_hWnd; }

 private:
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void OnParentMessage(HWND hParent, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void Repaint();
  void MoveBehind(HWND hParent);
  void MakeShadow(UINT32* pShadBits, HWND hParent, const RECT& rcParent);

  CPaintManagerUI* m_pManager;
  HWND m_hWnd;
  WNDPROC m_OriParentProc;
  BYTE m_Status;
  bool m_bIsImageMode;
  bool m_bIsShowShadow;
  unsigned char m_nDarkness;
  unsigned char m_nSharpness;
  signed char m_nSize;
  signed char m_nxOffset;
  signed char m_nyOffset;
  LPARAM m_WndSize;
  bool m_bUpdate;
  COLORREF m_Color;
  CUIString m_sShadowImage;
  RECT m_rcShadowCorner;
};

}  // namespace SkinUI
