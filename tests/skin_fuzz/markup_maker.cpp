#include "markup_maker.h"

#include <cwctype>

#include "support_text.h"

namespace skin_fuzz {

namespace {

const int kMaxControls = 60;
const int kMaxDepth = 6;

// Image files of the fuzz skin folder, and names that load nothing.
const wchar_t* const kImageFiles[] = {L"grid.png", L"quad.png",  L"halves.png",  L"halfred.png",
                                      L"anim.gif", L"nope.png",  L"图片.png",    L"",
                                      L"part.xml", L"..\\x.png", L"C:\\nul.png", L"grid.png\x01"};
// Layout files of the fuzz skin folder: one includes itself, one holds a child layout of itself.
const wchar_t* const kLayoutFiles[] = {L"part.xml", L"self.xml",  L"child.xml", L"missing.xml",
                                       L"",         L"<Window/>", L"图.xml"};
const wchar_t* const kTexts[] = {L"",
                                 L"OK",
                                 L"游戏中文测试文本",
                                 L"%s%s%s%n%d%ls",
                                 L"{0}%1$s",
                                 L"<n><n>line",
                                 L"&amp;&lt;",
                                 L" ",
                                 L"\t\r\n",
                                 L"a\x7f\x1b",
                                 L"\xd800",
                                 L"\xdc00\xd800x",
                                 L"\xfeff",
                                 L"{b}bold{/b}{x}{a link}a{/a}{c #FF0000}"};
const wchar_t* const kNumbers[] = {
    L"0",     L"1",   L"-1", L"2147483647", L"-2147483648", L"4294967296", L"99999999999",
    L"12abc", L"abc", L" 7", L"+5",         L"--3",         L"0x10",       L"1e9",
    L"3.7",   L"-0",  L"",   L"65535",      L"32768",       L"100"};
const wchar_t* const kColours[] = {L"#FF0000FF",   L"#",        L"#GGGGGG",   L"FFFFFFFFFFFF", L"#-1",
                                   L"  #80FF0000", L"0x00FF00", L"#00000000", L"#FFFFFFFF",    L"red"};
const wchar_t* const kSeparators[] = {L",", L" ", L";", L"", L",,", L"x"};

std::wstring Repeat(const std::wstring& unit, size_t count) {
  std::wstring out;
  out.reserve(unit.size() * count);
  for (size_t i = 0; i < count; ++i) out += unit;
  return out;
}

// A name in mixed letter case: the builder compares element and attribute names ignoring case.
std::wstring MixCase(std::wstring name, unsigned bits) {
  for (size_t i = 0; i < name.size(); ++i) {
    if ((bits >> (i % 32)) & 1) name[i] = towupper(name[i]);
  }
  return name;
}

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = towlower(c);
  return s;
}

// The leading word of a camel-case name: "List" of "ListHeaderItem".
std::wstring LeadingWord(const std::wstring& name) {
  size_t end = 1;
  while (end < name.size() && !iswupper(name[end])) ++end;
  return name.substr(0, end);
}

}  // namespace

SkinCase MarkupMaker::Make() {
  SkinCase c;
  c.markup = Document();
  c.viaFile = Chance(30);
  if (c.viaFile) {
    if (Chance(10)) c.bytes = "\xEF\xBB\xBF";
    c.bytes += testsupport::Utf8(c.markup);
    if (Chance(30)) DamageBytes(c.bytes, m_rng);
  } else if (Chance(20)) {
    DamageText(c.markup, m_rng);
  }
  return c;
}

std::wstring MarkupMaker::Document() {
  m_styles = 0;
  m_controls = 0;
  std::wstring out;
  if (Chance(10)) out += L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  if (Chance(3)) out += L"<!-- a comment <Window> -->";
  std::wstring root = Chance(90) ? L"Window" : (Chance(50) ? ElementName() : MixCase(L"window", m_rng()));
  out += L"<" + root;
  int attributes = Below(8);
  for (int i = 0; i < attributes && !m_words.windowAttributes.empty(); ++i) {
    const std::wstring& name = Pick(m_words.windowAttributes);
    Attribute(out, name, Value(name));
  }
  out += L">";
  Resources(out);
  int tops = Chance(85) ? 1 : Below(4);
  for (int i = 0; i < tops; ++i) Control(out, root, 0);
  out += L"</" + root + L">";
  return out;
}

void MarkupMaker::Resources(std::wstring& out) {
  int count = Below(6);
  for (int i = 0; i < count; ++i) {
    switch (Below(6)) {
      case 0:
        out += L"<Font";
        Attribute(out, L"id", Chance(80) ? std::to_wstring(Below(6)) : Number());
        if (Chance(80)) Attribute(out, L"name", Chance(50) ? L"Tahoma" : Text());
        if (Chance(80)) Attribute(out, L"size", Number());
        if (Chance(30)) Attribute(out, L"bold", L"true");
        if (Chance(20)) Attribute(out, L"italic", L"TRUE");
        if (Chance(20)) Attribute(out, L"underline", L"true");
        if (Chance(20)) Attribute(out, L"default", L"true");
        if (Chance(10)) Attribute(out, L"shared", L"true");
        out += L"/>";
        break;
      case 1:
        out += L"<Image";
        Attribute(out, L"name", ImageFile());
        if (Chance(20)) Attribute(out, L"restype", Chance(50) ? L"PNG" : Number());
        if (Chance(30)) Attribute(out, L"mask", Colour());
        if (Chance(20)) Attribute(out, L"shared", L"true");
        out += L"/>";
        break;
      case 2: {
        std::wstring element = ElementName();
        out += L"<Default";
        Attribute(out, L"name", element);
        Attribute(out, L"value", AttributeList(element));
        if (Chance(10)) Attribute(out, L"shared", L"true");
        out += L"/>";
        break;
      }
      case 3:
        out += L"<Style";
        Attribute(out, L"name", L"s" + std::to_wstring(m_styles++));
        Attribute(out, L"value", AttributeList(ElementName()));
        if (Chance(10)) Attribute(out, L"shared", L"true");
        out += L"/>";
        break;
      case 4:
        out += L"<Import";
        Attribute(out, L"fontfile", FileName());
        out += L"/>";
        break;
      default: {
        const std::wstring& name = Pick(m_words.windowAttributes);
        out += L"<" + name;
        Attribute(out, Pick(m_words.windowAttributes), AnyValue());
        out += L"/>";
        break;
      }
    }
  }
}

std::wstring MarkupMaker::ElementName() {
  if (m_words.elements.empty() || Chance(4)) {
    const wchar_t* const unknown[] = {L"Foo", L"C", L"UI", L"Include", L"Buttonx", L"Window", L"游戏", L"a-b"};
    return unknown[Below(8)];
  }
  std::wstring name = Pick(m_words.elements).element;
  return Chance(10) ? MixCase(Lower(name), m_rng()) : name;
}

// A child is often of its parent's family ("ListHeaderItem" under "ListHeader", "TreeNode" under
// "TreeView"), often a layout, else anything.
std::wstring MarkupMaker::ChildElement(const std::wstring& parent) {
  if (Chance(45)) {
    std::wstring word = LeadingWord(parent);
    std::vector<std::wstring> family;
    for (const ElementWords& e : m_words.elements) {
      if (e.element.compare(0, word.size(), word) == 0 && e.element.size() >= word.size()) family.push_back(e.element);
    }
    if (!family.empty()) return Pick(family);
  }
  if (Chance(25)) {
    std::vector<std::wstring> layouts;
    for (const ElementWords& e : m_words.elements) {
      if (Contains(e.element, L"Layout") || Contains(e.element, L"Container")) layouts.push_back(e.element);
    }
    if (!layouts.empty()) return Pick(layouts);
  }
  return ElementName();
}

void MarkupMaker::Control(std::wstring& out, const std::wstring& parent, int depth) {
  ++m_controls;
  if (Chance(3)) {
    out += L"<Include";
    if (Chance(85)) Attribute(out, L"source", Of(kLayoutFiles));
    if (Chance(60)) Attribute(out, L"count", Chance(50) ? std::to_wstring(Below(4)) : Number());
    out += L"/>";
    return;
  }
  std::wstring element = depth > 0 && Chance(60) ? ChildElement(parent) : ElementName();
  out += L"<" + element;
  Attributes(out, element);
  if (depth >= kMaxDepth || m_controls >= kMaxControls || Chance(35)) {
    out += L"/>";
    return;
  }
  out += L">";
  Children(out, element, depth);
  out += L"</" + element + L">";
}

void MarkupMaker::Children(std::wstring& out, const std::wstring& element, int depth) {
  int count = Below(5);
  // A header with no item or with fifty.
  if (Contains(element, L"Header") && Chance(30)) count = Chance(50) ? 0 : 50;
  for (int i = 0; i < count && m_controls < kMaxControls; ++i) {
    if (count == 50) {
      std::wstring item = ChildElement(element);
      out += L"<" + item;
      Attributes(out, item);
      out += L"/>";
      ++m_controls;
      continue;
    }
    Control(out, element, depth + 1);
  }
}

void MarkupMaker::Attributes(std::wstring& out, const std::wstring& element) {
  const ElementWords* words = m_words.Find(element);
  // Now and then more attributes than the markup reader keeps for one element.
  int count = Chance(2) ? 70 : Below(9);
  for (int i = 0; i < count; ++i) {
    std::wstring name;
    int which = Below(100);
    if (words != nullptr && !words->own.empty() && which < 55)
      name = Pick(words->own);
    else if (words != nullptr && !words->all.empty() && which < 85)
      name = Pick(words->all);
    else
      name = Pick(m_words.words);
    if (Chance(5)) name = MixCase(name, m_rng());
    Attribute(out, name, Value(name));
  }
}

// Writes name="value" with the value escaped as XML wants it (damage comes later, for some).
void MarkupMaker::Attribute(std::wstring& out, const std::wstring& name, const std::wstring& value) {
  out += L" " + name + L"=\"";
  for (wchar_t c : value) {
    if (c == L'&') {
      out += L"&amp;";
    } else if (c == L'<') {
      out += L"&lt;";
    } else if (c == L'>') {
      out += L"&gt;";
    } else if (c == L'"') {
      out += L"&quot;";
    } else {
      out += c;
    }
  }
  out += L"\"";
}

// A value of the kind the attribute's name suggests, or of any kind.
std::wstring MarkupMaker::Value(const std::wstring& name) {
  if (Chance(35)) return AnyValue();
  std::wstring n = Lower(name);
  if (Contains(n, L"color")) return Colour();
  if (Contains(n, L"image") || Contains(n, L"img") || Contains(n, L"icon")) return ImageString();
  if (Contains(n, L"style"))
    return Chance(50) && m_styles > 0 ? L"s" + std::to_wstring(Below(m_styles)) : AttributeList(L"");
  if (Contains(n, L"file") || Contains(n, L"xml") || Contains(n, L"page") || Contains(n, L"clsid") ||
      Contains(n, L"module") || Contains(n, L"source")) {
    return FileName();
  }
  if (Contains(n, L"pos") || Contains(n, L"padding") || Contains(n, L"inset") || Contains(n, L"rect") ||
      Contains(n, L"corner") || Contains(n, L"size") || Contains(n, L"round") || Contains(n, L"float")) {
    return NumberList();
  }
  if (Contains(n, L"text") || Contains(n, L"tip") || Contains(n, L"name") || Contains(n, L"value")) return Text();
  return AnyValue();
}

std::wstring MarkupMaker::AnyValue() {
  switch (Below(11)) {
    case 0:
      return L"";
    case 1:
    case 2:
      return Number();
    case 3:
      return NumberList();
    case 4:
      return Colour();
    case 5:
      return Chance(50) ? L"true" : (Chance(50) ? L"false" : L"TRUE");
    case 6:
    case 7:
      return Pick(m_words.words);
    case 8:
      return Text();
    case 9:
      return ImageString();
    default:
      return m_styles > 0 ? L"s" + std::to_wstring(Below(m_styles)) : FileName();
  }
}

std::wstring MarkupMaker::Number() {
  if (Chance(60)) return std::to_wstring(Below(400) - 40);
  return Of(kNumbers);
}

std::wstring MarkupMaker::NumberList() {
  int count = Chance(70) ? (Chance(50) ? 4 : 2) : Below(7);
  std::wstring sep = Chance(85) ? L"," : Of(kSeparators);
  std::wstring out;
  for (int i = 0; i < count; ++i) {
    if (i > 0) out += sep;
    out += Chance(20) ? std::to_wstring(Below(100) / 100.0).substr(0, 4) : Number();
  }
  return out;
}

std::wstring MarkupMaker::Colour() {
  if (Chance(50)) {
    wchar_t buffer[16];
    swprintf(buffer, 16, L"#%08X", static_cast<unsigned>(m_rng()));
    return buffer;
  }
  return Of(kColours);
}

std::wstring MarkupMaker::Text() {
  switch (Below(6)) {
    case 0:
      return Repeat(L"W", 1 + Below(Chance(90) ? 300 : 5000));
    case 1:
      return Repeat(L"中文", 1 + Below(Chance(90) ? 100 : 5000));
    case 2:
      return Pick(m_words.words);
    default:
      return Of(kTexts);
  }
}

std::wstring MarkupMaker::ImageFile() { return Of(kImageFiles); }

// A bare file name, or key='value' pairs of the image-string keys, some malformed.
std::wstring MarkupMaker::ImageString() {
  if (Chance(30)) return ImageFile();
  std::wstring out = L"file='" + ImageFile() + L"'";
  int count = Below(5);
  for (int i = 0; i < count && !m_words.imageKeys.empty(); ++i) {
    const std::wstring& key = Pick(m_words.imageKeys);
    std::wstring value = Chance(60) ? NumberList() : AnyValue();
    out += L" " + key + L"='" + value + (Chance(95) ? L"'" : L"");
  }
  if (Chance(5)) out += L" '";
  return out;
}

// An attribute list as styles, defaults and inner styles hold it: name="value" pairs.
std::wstring MarkupMaker::AttributeList(const std::wstring& element) {
  const ElementWords* words = m_words.Find(element);
  std::wstring out;
  int count = Below(5);
  for (int i = 0; i < count; ++i) {
    std::wstring name = words != nullptr && !words->all.empty() && Chance(70) ? Pick(words->all) : Pick(m_words.words);
    if (i > 0) out += Chance(90) ? L" " : L",";
    out += name + L"=\"" + Value(name) + (Chance(95) ? L"\"" : L"");
  }
  return out;
}

std::wstring MarkupMaker::FileName() {
  if (Chance(50)) return Of(kLayoutFiles);
  return Chance(50) ? ImageFile() : Text();
}

void DamageText(std::wstring& text, std::mt19937& rng) {
  if (text.empty()) return;
  int hits = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < hits && !text.empty(); ++i) {
    size_t at = rng() % text.size();
    switch (rng() % 7) {
      case 0:
        text.resize(at);
        break;
      case 1: {
        size_t close = text.rfind(L"</");
        if (close != std::wstring::npos) text.erase(close, text.find(L'>', close) - close + 1);
        break;
      }
      case 2:
        text.insert(at, 1, L'<');
        break;
      case 3:
        text.insert(at, rng() % 2 ? L"&" : L"&#x110000;");
        break;
      case 4:
        text.insert(at, 1, L'\0');
        break;
      case 5:
        text[at] = static_cast<wchar_t>(rng() & 0xFFFF);
        break;
      default:
        text.insert(at, text.substr(at / 2, at - at / 2));
        break;
    }
  }
}

void DamageBytes(std::string& bytes, std::mt19937& rng) {
  if (bytes.empty()) return;
  int hits = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < hits && !bytes.empty(); ++i) {
    size_t at = rng() % bytes.size();
    switch (rng() % 6) {
      case 0:
        bytes.resize(at);
        break;
      case 1:
        bytes.insert(at, 1, '\0');
        break;
      case 2:
        bytes.insert(at, rng() % 2 ? "<" : "&");
        break;
      case 3:
        bytes[at] = static_cast<char>(rng() & 0xFF);
        break;
      case 4:
        bytes.insert(at, "\xC3\x28\xE2\x82\xF0\x90");  // broken UTF-8 sequences
        break;
      default:
        bytes.insert(0, "\xFF\xFE");  // a UTF-16 mark on UTF-8 bytes
        break;
    }
  }
}

}  // namespace skin_fuzz
