#pragma once
#include <windows.h>

#include "ui/core/base/ui_string.h"

namespace SkinUI {

// Wraps one native window: class registration, creation and the procedure that routes its messages.
class CWindowWnd {
 public:
  CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Null: no window. When the window was refused at WM_NCCREATE or WM_CREATE, its final message has
  // run already, and an object that deletes itself there is gone: its owner learns it from what
  // the final message does (for the framework's own windows, the owner's pointer is cleared).
  HWND Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
              HMENU hMenu = nullptr);
  HWND Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
  void Unsubclass();
  void ShowWindow(bool bShow = true, bool bTakeFocus = true);
  UINT ShowModal();
  void Close(UINT nRet = IDOK);
  void CenterWindow();
  LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  virtual const wchar_t* GetWindowClassName() const = 0;
  virtual const wchar_t* GetSuperClassName() const;
  virtual UINT GetClassStyle() const;
  virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  virtual void OnFinalMessage(HWND hWnd);

  // Cuts the window's corners round. A region the system refuses (some corner sizes of a skin
  // make one) is still ours: it is freed and logged, and the window stays square.
  void ApplyRoundCorner(SIZE corner);
  bool RegisterWindowClass();
  bool RegisterSuperclass();
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd;
  WNDPROC m_OldWndProc;
  bool m_bSubclassed;

 private:
  static LRESULT Route(CWindowWnd* self, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
};

}  // namespace SkinUI
