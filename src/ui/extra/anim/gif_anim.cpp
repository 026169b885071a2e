#include "ui/extra/anim/gif_anim.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/attribute_values.h"

namespace SkinUI {

namespace {

const PROPID kFrameDelayTag = 0x5100;
// The GIF frame dimension (FrameDimensionTime).
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};

}  // namespace

CGifAnimUI::CGifAnimUI()
    : m_nFrameCount(0), m_nFramePosition(0), m_bIsAutoPlay(true), m_bIsAutoSize(false), m_bIsPlaying(false) {}

CGifAnimUI::~CGifAnimUI() {
  // The builder deletes a control it could not place before any manager knew it.
  if (m_pManager != nullptr) m_pManager->KillTimer(this, kTimerId);
}

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnimUI"; }

LPVOID CGifAnimUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"GifAnim") == 0) return static_cast<CGifAnimUI*>(this);
  return CControlUI::GetInterface(pstrName);
}

// Hiding the focused control moves the focus: the receiver of "killfocus" may delete it.
void CGifAnimUI::SetVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetVisible(bVisible);
  if (!alive) return;
  if (bVisible)
    PlayGif();
  else
    StopGif();
}

void CGifAnimUI::DoInit() { InitGifImage(); }

void CGifAnimUI::DoEvent(EventRecordUI& event) {
  if (event.Type == UIEVENT_TIMER && event.wParam == kTimerId) OnFrameTimer();
}

void CGifAnimUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"bkimage") == 0)
    SetBkImage(pstrValue);
  else if (_wcsicmp(pstrName, L"autoplay") == 0)
    SetAutoPlay(IsTrueValue(pstrValue));
  else if (_wcsicmp(pstrName, L"autosize") == 0)
    SetAutoSize(IsTrueValue(pstrValue));
  else
    CControlUI::SetAttribute(pstrName, pstrValue);
}

void CGifAnimUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
  // The name may also be set through the base control, which the animation does not hear of.
  if (m_sBkImage != m_sGifImage.GetData()) {
    CUIString name = m_sBkImage;
    SetBkImage(name.GetData());
  }
  if (m_pGifImage == nullptr) InitGifImage();
  DrawFrame(hDC);
}

void CGifAnimUI::SetBkImage(const wchar_t* pStrImage) {
  if (pStrImage == nullptr || m_sGifImage == pStrImage) return;
  m_sGifImage = pStrImage;
  m_sBkImage = pStrImage;
  StopGif();
  DeleteGif();
  Invalidate();
}

void CGifAnimUI::InitGifImage() {
  if (m_pGifImage != nullptr) return;
  m_pGifImage.reset(CRenderEngine::GdiplusLoadImage(m_sGifImage.GetData()));
  if (m_pGifImage == nullptr) return;
  ReadFrames();
  if (m_bIsAutoSize) {
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(m_pGifImage.get(), &width);
    gdip::GdipGetImageHeight(m_pGifImage.get(), &height);
    SetFixedWidth(static_cast<int>(width));
    SetFixedHeight(static_cast<int>(height));
  }
  if (m_bIsAutoPlay) PlayGif();
}

void CGifAnimUI::ReadFrames() {
  m_nFrameCount = 0;
  UINT dimensions = 0;
  if (gdip::GdipImageGetFrameDimensionsCount(m_pGifImage.get(), &dimensions) == Gdiplus::Ok && dimensions > 0) {
    std::vector<GUID> ids(dimensions);
    if (gdip::GdipImageGetFrameDimensionsList(m_pGifImage.get(), ids.data(), dimensions) == Gdiplus::Ok) {
      gdip::GdipImageGetFrameCount(m_pGifImage.get(), &ids[0], &m_nFrameCount);
    }
  }
  // A PNG, a JPEG or a still GIF has no delays: FrameDelayMs then gives the default.
  m_frameDelays.clear();
  UINT size = 0;
  if (gdip::GdipGetPropertyItemSize(m_pGifImage.get(), kFrameDelayTag, &size) != Gdiplus::Ok ||
      size < sizeof(Gdiplus::PropertyItem)) {
    return;
  }
  m_frameDelays.resize(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(m_frameDelays.data());
  if (gdip::GdipGetPropertyItem(m_pGifImage.get(), kFrameDelayTag, size, item) != Gdiplus::Ok) m_frameDelays.clear();
}

UINT CGifAnimUI::FrameDelayMs(UINT frame) const {
  UINT delay = 0;
  if (!m_frameDelays.empty()) {
    const auto* item = reinterpret_cast<const Gdiplus::PropertyItem*>(m_frameDelays.data());
    if (item->value != nullptr && (frame + 1) * sizeof(UINT) <= item->length)
      delay = static_cast<UINT*>(item->value)[frame];
  }
  return delay != 0 ? delay * 10 : 100;
}

void CGifAnimUI::DeleteGif() {
  m_pGifImage.reset();
  m_frameDelays.clear();
  m_nFrameCount = 0;
  m_nFramePosition = 0;
}

void CGifAnimUI::PlayGif() {
  // A single frame has nothing to animate.
  if (m_bIsPlaying || m_pGifImage == nullptr || m_nFrameCount < 2 || m_pManager == nullptr) return;
  m_bIsPlaying = m_pManager->SetTimer(this, kTimerId, FrameDelayMs(m_nFramePosition));
}

void CGifAnimUI::StopGif() {
  if (!m_bIsPlaying) return;
  if (m_pManager != nullptr) m_pManager->KillTimer(this, kTimerId);
  m_nFramePosition = 0;
  Invalidate();
  m_bIsPlaying = false;
}

void CGifAnimUI::OnFrameTimer() {
  if (m_pManager == nullptr) return;
  m_pManager->KillTimer(this, kTimerId);
  Invalidate();
  // A tick that outlived StopGif, or an image that reports no frames, starts nothing.
  if (!m_bIsPlaying || m_nFrameCount == 0) return;
  m_nFramePosition = (m_nFramePosition + 1) % m_nFrameCount;
  m_pManager->SetTimer(this, kTimerId, FrameDelayMs(m_nFramePosition));
}

void CGifAnimUI::DrawFrame(HDC hDC) {
  if (hDC == nullptr || m_pGifImage == nullptr) return;
  // The frame is chosen before it is drawn, so that each frame shows for its own delay.
  if (m_nFrameCount > 1) gdip::GdipImageSelectActiveFrame(m_pGifImage.get(), &kFrameDimensionTime, m_nFramePosition);
  GdipGraphics graphics;
  if (!graphics.Made(gdip::GdipCreateFromHDC(hDC, graphics.out()))) return;
  gdip::GdipDrawImageRectI(graphics.get(), m_pGifImage.get(), m_rcItem.left, m_rcItem.top,
                           m_rcItem.right - m_rcItem.left, m_rcItem.bottom - m_rcItem.top);
}

}  // namespace SkinUI
