#pragma once
#include "ui/core/container.h"

namespace SkinUI {

// Stacks its children from top to bottom; fixed heights stay, the rest share what is left.
// A separator band along its bottom (or top) edge lets the user drag its height.
class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* pstrName) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void DoEvent(EventRecordUI& event) override;
    void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    void SetSepHeight(int iHeight) { m_iSepHeight = iHeight; }
    int GetSepHeight() const { return m_iSepHeight; }
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const { return m_bImmMode; }
    RECT GetThumbRect(bool bUseNew = false) const;

private:
    bool DragStep(POINT pt);

    int m_iSepHeight;
    UINT m_uButtonState;
    POINT m_ptLastMouse;
    CUIRect m_rcNewPos;
    bool m_bImmMode;
};

// Places its children from left to right; fixed widths stay, the rest share what is left.
// A separator band along its right (or left) edge lets the user drag its width.
class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* pstrName) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void DoEvent(EventRecordUI& event) override;
    void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    void SetSepWidth(int iWidth) { m_iSepWidth = iWidth; }
    int GetSepWidth() const { return m_iSepWidth; }
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const { return m_bImmMode; }
    RECT GetThumbRect(bool bUseNew = false) const;

private:
    bool DragStep(POINT pt);

    int m_iSepWidth;
    UINT m_uButtonState;
    POINT m_ptLastMouse;
    CUIRect m_rcNewPos;
    bool m_bImmMode;
};

}  // namespace SkinUI
