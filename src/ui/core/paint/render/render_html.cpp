#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "ui/core/base/gdi_handles.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

// The small tagged-text language: <b>, <c #RRGGBB>, <a target>, <i image 4 2>, <n>, ... written with
// "<>" or "{}", laid out line by line and drawn with TextOutW.

namespace SkinUI {

namespace {

enum class TokenKind { Text, LineBreak, Open, Close };

struct Token {
  TokenKind kind;
  wchar_t tag;
  std::wstring text;  // the run's text, or the tag's argument
};

bool IsTagEnd(wchar_t ch) { return ch == L'>' || ch == L'}'; }
bool IsTagOpen(wchar_t ch) { return ch == L'<' || ch == L'{'; }
bool IsTagLetter(wchar_t ch) { return ch >= L'a' && ch <= L'z'; }

// At a tag opener: the escape, closing tag or tag that starts here; false for a literal unit.
bool MatchTag(const wchar_t* s, Token& token, size_t& length) {
  if (s[0] == L'<' && (s[1] == L'{' || s[1] == L'}') && s[2] == L'>') {
    token = {TokenKind::Text, 0, std::wstring(1, s[1])};
    length = 3;
    return true;
  }
  if (s[0] == L'{' && (s[1] == L'<' || s[1] == L'>') && s[2] == L'}') {
    token = {TokenKind::Text, 0, std::wstring(1, s[1])};
    length = 3;
    return true;
  }
  if (s[1] == L'/' && IsTagLetter(s[2]) && IsTagEnd(s[3])) {
    token = {TokenKind::Close, s[2], std::wstring()};
    length = 4;
    return true;
  }
  if (!IsTagLetter(s[1]) || !(s[2] == L' ' || IsTagEnd(s[2]))) return false;
  size_t end = 2;
  while (s[end] != L'\0' && !IsTagEnd(s[end])) ++end;
  if (s[end] == L'\0') return false;
  token = {TokenKind::Open, s[1], s[2] == L' ' ? std::wstring(s + 3, end - 3) : std::wstring()};
  length = end + 1;
  return true;
}

void AppendText(std::vector<Token>& tokens, const wchar_t* s, size_t n) {
  if (n == 0) return;
  if (!tokens.empty() && tokens.back().kind == TokenKind::Text)
    tokens.back().text.append(s, n);
  else
    tokens.push_back({TokenKind::Text, 0, std::wstring(s, n)});
}

// Raw text after <r>: everything up to "</r>" or "{/r}" is text, line feeds still break lines.
size_t TokenizeRaw(const wchar_t* s, std::vector<Token>& tokens) {
  size_t i = 0;
  for (; s[i] != L'\0'; ++i) {
    if (IsTagOpen(s[i]) && s[i + 1] == L'/' && s[i + 2] == L'r' && IsTagEnd(s[i + 3])) break;
    if (s[i] == L'\n')
      tokens.push_back({TokenKind::LineBreak, L'\n', std::wstring()});
    else
      AppendText(tokens, s + i, 1);
  }
  return s[i] != L'\0' ? i + 4 : i;
}

std::vector<Token> Tokenize(const wchar_t* s) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (s[i] != L'\0') {
    if (s[i] == L'\n') {
      tokens.push_back({TokenKind::LineBreak, L'\n', std::wstring()});
      ++i;
      continue;
    }
    Token token;
    size_t length = 0;
    if (IsTagOpen(s[i]) && MatchTag(s + i, token, length)) {
      i += length;
      if (token.kind == TokenKind::Text) {
        AppendText(tokens, token.text.c_str(), token.text.size());
      } else if (token.kind == TokenKind::Open && token.tag == L'r') {
        i += TokenizeRaw(s + i, tokens);
      } else {
        tokens.push_back(token);
      }
      continue;
    }
    size_t start = i++;
    while (s[i] != L'\0' && s[i] != L'\n' && !IsTagOpen(s[i])) ++i;
    AppendText(tokens, s + start, i - start);
  }
  return tokens;
}

bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

struct Piece {
  bool isImage;
  int x;
  int width;
  int height;
  FontInfo* font;
  DWORD color;
  bool selected;
  std::wstring text;
  const ImageInfo* image;
  RECT source;
};

struct LinkSpan {
  int x0;
  int x1;
  CUIString target;
};

class HtmlLayout {
 public:
  HtmlLayout(HDC hDC, CPaintManagerUI* manager, const RECT& rc, DWORD color, UINT style, RECT* links,
             CUIString* linkTexts, int capacity, const CUIString& hovered)
      : m_dc(hDC),
        m_manager(manager),
        m_rc(rc),
        m_style(style),
        m_draw((style & DT_CALCRECT) == 0),
        m_single((style & DT_SINGLELINE) != 0),
        m_links(links),
        m_linkTexts(linkTexts),
        m_capacity(capacity),
        m_hovered(hovered) {
    m_fonts.push_back(manager->GetDefaultFontInfo());
    m_colors.push_back(color);
    m_x = rc.left;
    m_y = rc.top;
    m_lineHeight = FontHeight(m_fonts.back());
  }

  void Run(const std::vector<Token>& tokens) {
    for (const Token& token : tokens) {
      if (m_done) break;
      switch (token.kind) {
        case TokenKind::Text:
          AddText(token.text);
          break;
        case TokenKind::LineBreak:
          Break();
          break;
        case TokenKind::Open:
          Open(token.tag, token.text);
          break;
        case TokenKind::Close:
          Close(token.tag);
          break;
      }
    }
    if (!m_done && (!m_pieces.empty() || m_x > m_rc.left || m_lines == 0)) EndLine();
  }

  int LinkCount() const { return m_linkCount; }
  int Widest() const { return m_widest; }
  int Bottom() const { return m_y; }

 private:
  static int FontHeight(const FontInfo* font) { return font->tm.tmHeight + font->tm.tmExternalLeading; }

  FontInfo* NewFont(const wchar_t* name, int size, bool bold, bool underline, bool italic) {
    HFONT existing = m_manager->GetFont(name, size, bold, underline, italic);
    if (existing != nullptr) return m_manager->GetFontInfo(existing);
    // Every new font gets an id of its own, so no font that a run still uses is replaced.
    int id = 30000;
    FontInfo* fallback = m_manager->GetDefaultFontInfo();
    while (m_manager->GetFontInfo(id) != fallback) ++id;
    if (m_manager->AddFont(id, name, size, bold, underline, italic) == nullptr) return m_fonts.back();
    return m_manager->GetFontInfo(id);
  }

  FontInfo* Variant(bool bold, bool underline) {
    FontInfo* base = m_fonts.back();
    if ((!bold || base->bBold) && (!underline || base->bUnderline)) return base;
    return NewFont(base->sFontName.GetData(), base->iSize, base->bBold || bold, base->bUnderline || underline,
                   base->bItalic);
  }

  FontInfo* NamedFont(const std::wstring& arg) {
    const wchar_t* p = arg.c_str();
    if (*p >= L'0' && *p <= L'9') return m_manager->GetFontInfo(_wtoi(p));
    std::wstring name;
    while (*p != L'\0' && *p != L' ') name += *p++;
    while (*p == L' ') ++p;
    int size = 10;
    if (*p >= L'0' && *p <= L'9') size = static_cast<int>(wcstol(p, const_cast<wchar_t**>(&p), 10));
    std::wstring rest(p);
    bool bold = rest.find(L"bold") != std::wstring::npos;
    bool underline = rest.find(L"underline") != std::wstring::npos;
    bool italic = rest.find(L"italic") != std::wstring::npos;
    return NewFont(name.c_str(), size, bold, underline, italic);
  }

  void PushFont(FontInfo* font) {
    m_fonts.push_back(font);
    int height = FontHeight(font);
    if (height > m_lineHeight) m_lineHeight = height;
  }

  void PopFont() {
    if (m_fonts.size() < 2) return;
    FontInfo* ending = m_fonts.back();
    m_fonts.pop_back();
    if (ending->bItalic && !m_fonts.back()->bItalic) {
      SelectGuard select(m_dc, ending->hFont);
      SIZE blank = {0, 0};
      ::GetTextExtentPoint32W(m_dc, L" ", 1, &blank);
      m_x += blank.cx / 2;
    }
  }

  DWORD TextColor() const {
    if (!m_inLink) return m_colors.back();
    return (!m_hovered.IsEmpty() && m_hovered == m_linkTarget.GetData()) ? m_manager->GetDefaultLinkHoverFontColor()
                                                                         : m_manager->GetDefaultLinkFontColor();
  }

  void Open(wchar_t tag, const std::wstring& arg) {
    switch (tag) {
      case L'a':
        if (m_inLink) CloseLink();
        m_inLink = true;
        m_linkTarget = arg.c_str();
        m_linkStart = m_x;
        PushFont(Variant(false, true));
        break;
      case L'b':
        PushFont(Variant(true, false));
        break;
      case L'u':
        PushFont(Variant(false, true));
        break;
      case L'f':
        PushFont(NamedFont(arg));
        break;
      case L'c': {
        const wchar_t* p = arg.c_str();
        while (*p == L' ') ++p;
        if (*p == L'#') ++p;
        m_colors.push_back(static_cast<DWORD>(wcstoul(p, nullptr, 16)));
        break;
      }
      case L's':
        m_selected = true;
        break;
      case L'n':
        Break();
        break;
      case L'p':
        Paragraph(_wtoi(arg.c_str()));
        break;
      case L'x':
        m_x += _wtoi(arg.c_str());
        break;
      case L'y': {
        int height = _wtoi(arg.c_str());
        if (height > m_lineHeight) m_lineHeight = height;
        break;
      }
      case L'i':
        AddImage(arg);
        break;
      default:
        break;
    }
  }

  void Close(wchar_t tag) {
    switch (tag) {
      case L'a':
        if (!m_inLink) break;
        CloseLink();
        PopFont();
        break;
      case L'b':
      case L'u':
      case L'f':
        PopFont();
        break;
      case L'c':
        if (m_colors.size() > 1) m_colors.pop_back();
        break;
      case L's':
        m_selected = false;
        break;
      default:
        break;
    }
  }

  void CloseLink() {
    m_spans.push_back({m_linkStart, m_x, m_linkTarget});
    m_inLink = false;
  }

  void Break() {
    if (m_single) return;
    m_skipping = false;
    EndLine();
  }

  void Paragraph(int spacing) {
    if (m_single) return;
    m_skipping = false;
    if (m_x > m_rc.left || !m_pieces.empty()) EndLine();
    int height = FontHeight(m_fonts.back()) + spacing;
    if (height > m_lineHeight) m_lineHeight = height;
  }

  void AddPiece(const std::wstring& text, int width) {
    Piece piece = {false, m_x,     width,           FontHeight(m_fonts.back()), m_fonts.back(), TextColor(), m_selected,
                   text,  nullptr, RECT{0, 0, 0, 0}};
    m_pieces.push_back(piece);
    m_x += width;
  }

  void AddText(const std::wstring& text) {
    size_t pos = 0;
    while (pos < text.size() && !m_done && !m_skipping) {
      FontInfo* font = m_fonts.back();
      SelectGuard select(m_dc, font->hFont);
      int remaining = static_cast<int>(text.size() - pos);
      int available = m_rc.right - m_x;
      int fit = 0;
      SIZE extent = {0, 0};
      ::GetTextExtentExPointW(m_dc, text.c_str() + pos, remaining, available > 0 ? available : 0, &fit, nullptr,
                              &extent);
      if (fit >= remaining) {
        AddPiece(text.substr(pos), extent.cx);
        return;
      }
      // A line holds at least one character, so that the text always moves on.
      bool lineStart = m_x == m_rc.left && m_pieces.empty();
      int cut = (lineStart && fit == 0) ? 1 : fit;
      if ((m_style & DT_WORDBREAK) != 0) {
        for (int k = cut - 1; k >= 0; --k) {
          if (!IsAsciiLetter(text[pos + k])) {
            cut = k + 1;
            break;
          }
        }
      }
      if ((m_style & DT_END_ELLIPSIS) != 0) {
        // Two characters make room for the dots, and more while the dots would still cross.
        cut = cut > 2 ? cut - 2 : 0;
        std::wstring shown;
        for (;; --cut) {
          shown = text.substr(pos, cut) + L"...";
          ::GetTextExtentPoint32W(m_dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
          if (cut == 0 || extent.cx <= available) break;
        }
        AddPiece(shown, extent.cx);
        m_skipping = true;
        return;
      }
      if (cut > 0) {
        ::GetTextExtentPoint32W(m_dc, text.c_str() + pos, cut, &extent);
        AddPiece(text.substr(pos, cut), extent.cx);
        pos += cut;
      }
      EndLine();
      if (m_single) m_skipping = true;
    }
  }

  void AddImage(const std::wstring& arg) {
    if (m_skipping) return;
    std::wstring name, type;
    const wchar_t* p = arg.c_str();
    auto quoted = [&arg](const wchar_t* key, std::wstring& out, size_t& after) {
      size_t at = arg.find(key);
      if (at == std::wstring::npos) return false;
      size_t start = at + wcslen(key);
      size_t end = arg.find(L'\'', start);
      if (end == std::wstring::npos) return false;
      out = arg.substr(start, end - start);
      if (end + 1 > after) after = end + 1;
      return true;
    };
    size_t after = 0;
    if (quoted(L"file='", name, after) || quoted(L"res='", name, after)) {
      quoted(L"restype='", type, after);
      p += after;
    } else {
      while (*p != L'\0' && *p != L' ') name += *p++;
    }
    wchar_t* end = nullptr;
    long count = wcstol(p, &end, 10);
    long index = wcstol(end, nullptr, 10);
    if (count < 1) count = 1;
    if (index < 0 || index >= count) index = 0;
    const ImageInfo* image = m_manager->GetImageEx(name.c_str(), type.empty() ? nullptr : type.c_str());
    if (image == nullptr) return;
    int width = image->nX / count;
    if (!m_single && m_x + width > m_rc.right && (m_x > m_rc.left || !m_pieces.empty())) EndLine();
    if (m_done) return;
    Piece piece = {true, m_x,   width,          image->nY, nullptr,
                   0,    false, std::wstring(), image,     RECT{width * index, 0, width * (index + 1), image->nY}};
    m_pieces.push_back(piece);
    if (image->nY > m_lineHeight) m_lineHeight = image->nY;
    m_x += width;
  }

  void RecordLink(const RECT& rc, const CUIString& target) {
    if (m_linkCount >= m_capacity) return;
    m_links[m_linkCount] = rc;
    if (m_linkTexts != nullptr) m_linkTexts[m_linkCount] = target;
    ++m_linkCount;
  }

  void DrawPieces(int dx, int top, int bottom) {
    for (const Piece& piece : m_pieces) {
      if (piece.isImage) {
        int y = piece.height < bottom - top ? top + (bottom - top - piece.height) / 2 : bottom - piece.height;
        RECT dest = {piece.x + dx, y, piece.x + dx + piece.width, y + piece.height};
        CRenderEngine::DrawImage(m_dc, piece.image->hBitmap, dest, m_rc, piece.source, RECT{0, 0, 0, 0},
                                 piece.image->bAlpha);
        continue;
      }
      SelectGuard select(m_dc, piece.font->hFont);
      ::SetTextColor(m_dc, ArgbToColorRef(piece.color));
      ::SetBkMode(m_dc, piece.selected ? OPAQUE : TRANSPARENT);
      ::TextOutW(m_dc, piece.x + dx, bottom - piece.font->tm.tmHeight, piece.text.c_str(),
                 static_cast<int>(piece.text.size()));
    }
    ::SetBkMode(m_dc, TRANSPARENT);
  }

  void EndLine() {
    int top = m_y, bottom = m_y + m_lineHeight;
    int dx = 0;
    if (!m_single && (m_style & DT_CENTER) != 0)
      dx = (m_rc.right - m_x) / 2;
    else if (!m_single && (m_style & DT_RIGHT) != 0)
      dx = m_rc.right - m_x;
    if (dx < 0) dx = 0;
    if (m_draw) DrawPieces(dx, top, bottom);
    if (m_inLink) m_spans.push_back({m_linkStart, m_x, m_linkTarget});
    for (const LinkSpan& span : m_spans) RecordLink(RECT{span.x0 + dx, top, span.x1 + dx, bottom}, span.target);
    m_spans.clear();
    if (m_x > m_widest) m_widest = m_x;
    ++m_lines;
    m_pieces.clear();
    m_x = m_linkStart = m_rc.left;
    m_y = bottom;
    m_lineHeight = FontHeight(m_fonts.back());
    if (m_draw && m_y >= m_rc.bottom) m_done = true;
  }

  HDC m_dc;
  CPaintManagerUI* m_manager;
  RECT m_rc;
  UINT m_style;
  bool m_draw;
  bool m_single;
  RECT* m_links;
  CUIString* m_linkTexts;
  int m_capacity;
  CUIString m_hovered;

  std::vector<FontInfo*> m_fonts;
  std::vector<DWORD> m_colors;
  bool m_inLink = false;
  CUIString m_linkTarget;
  int m_linkStart = 0;
  bool m_selected = false;
  bool m_skipping = false;
  bool m_done = false;

  int m_x = 0;
  int m_y = 0;
  int m_lineHeight = 0;
  int m_lines = 0;
  int m_widest = 0;
  int m_linkCount = 0;
  std::vector<Piece> m_pieces;
  std::vector<LinkSpan> m_spans;
};

// Moves the rectangle so that the measured text sits where the alignment flags put it.
void AlignToMeasure(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, UINT style) {
  // Measured at the rectangle's own width, so that wrapped lines count.
  RECT measure = {0, 0, rc.right - rc.left, 100};
  int none = 0;
  CRenderEngine::DrawHtmlText(hDC, manager, measure, text, 0, nullptr, nullptr, none, style | DT_CALCRECT);
  int width = measure.right - measure.left, height = measure.bottom - measure.top;
  if ((style & DT_SINGLELINE) != 0) {
    if ((style & DT_CENTER) != 0)
      rc.left += (rc.right - rc.left - width) / 2;
    else if ((style & DT_RIGHT) != 0)
      rc.left = rc.right - width;
  }
  if ((style & DT_VCENTER) != 0)
    rc.top += (rc.bottom - rc.top - height) / 2;
  else if ((style & DT_BOTTOM) != 0)
    rc.top = rc.bottom - height;
}

}  // namespace

void CRenderEngine::DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, const wchar_t* pstrText,
                                 DWORD dwTextColor, RECT* pLinks, CUIString* sLinks, int& nLinkRects, UINT uStyle) {
  if (hDC == nullptr || pManager == nullptr || pstrText == nullptr || ::IsRectEmpty(&rc)) return;
  bool draw = (uStyle & DT_CALCRECT) == 0;
  int capacity = pLinks != nullptr ? nLinkRects : 0;
  // The DC's own clip region comes back as it was, "none" included: measuring goes on the
  // window's long-lived DC, which must not be left holding a region.
  GdiObject<HRGN> saved(draw ? ::CreateRectRgn(0, 0, 0, 0) : nullptr);
  const bool hadClip = draw && ::GetClipRgn(hDC, saved.get()) == 1;
  if (draw) {
    GdiObject<HRGN> clip(::CreateRectRgnIndirect(&rc));
    ::ExtSelectClipRgn(hDC, clip.get(), RGN_AND);
  }
  SelectGuard selectFont(hDC, pManager->GetDefaultFontInfo()->hFont);
  int oldMode = ::SetBkMode(hDC, TRANSPARENT);
  COLORREF oldText = ::SetTextColor(hDC, ArgbToColorRef(dwTextColor));
  COLORREF oldBack = ::SetBkColor(hDC, ArgbToColorRef(pManager->GetDefaultSelectedBkColor()));

  if (draw && (uStyle & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0) {
    AlignToMeasure(hDC, pManager, rc, pstrText, uStyle);
  }
  CUIString hovered;
  POINT mouse = pManager->GetMousePos();
  for (int i = 0; i < capacity; ++i) {
    if (::PtInRect(&pLinks[i], mouse)) {
      if (sLinks != nullptr) hovered = sLinks[i];
      break;
    }
  }
  HtmlLayout layout(hDC, pManager, rc, dwTextColor, uStyle, pLinks, sLinks, capacity, hovered);
  layout.Run(Tokenize(pstrText));
  for (int i = layout.LinkCount(); i < capacity; ++i) ::SetRectEmpty(&pLinks[i]);
  nLinkRects = layout.LinkCount();
  if (!draw) {
    rc.right = layout.Widest();
    rc.bottom = layout.Bottom();
  }
  ::SetBkColor(hDC, oldBack);
  ::SetTextColor(hDC, oldText);
  ::SetBkMode(hDC, oldMode);
  if (draw) ::SelectClipRgn(hDC, hadClip ? saved.get() : nullptr);
}

}  // namespace SkinUI
