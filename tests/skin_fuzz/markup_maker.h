// Random skin layouts over the learnt words: real structures (lists with headers and rows, trees of
// nodes), odd ones (rows outside lists, nodes outside trees, unknown names), hostile attribute
// values and, for some, damaged bytes.
#pragma once
#include <random>
#include <string>

#include "skin_words.h"

namespace skin_fuzz {

// One layout and the road it takes into the builder.
struct SkinCase {
  std::wstring markup;  // XML text handed to the builder as it is (road "text")
  std::string bytes;    // the bytes of a layout file the builder reads (road "file")
  bool viaFile = false;
};

class MarkupMaker {
 public:
  MarkupMaker(const SkinWords& words, std::mt19937& rng) : m_words(words), m_rng(rng) {}
  SkinCase Make();

 private:
  int Below(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T>
  const T& Pick(const std::vector<T>& v) {
    return v[Below(static_cast<int>(v.size()))];
  }
  template <size_t N>
  const wchar_t* Of(const wchar_t* const (&texts)[N]) {
    return texts[Below(static_cast<int>(N))];
  }

  std::wstring Document();
  void Resources(std::wstring& out);
  void Control(std::wstring& out, const std::wstring& parent, int depth);
  void Children(std::wstring& out, const std::wstring& element, int depth);
  std::wstring ChildElement(const std::wstring& parent);
  std::wstring ElementName();
  void Attributes(std::wstring& out, const std::wstring& element);
  void Attribute(std::wstring& out, const std::wstring& name, const std::wstring& value);

  std::wstring Value(const std::wstring& name);
  std::wstring AnyValue();
  std::wstring Number();
  std::wstring NumberList();
  std::wstring Colour();
  std::wstring Text();
  std::wstring ImageString();
  std::wstring ImageFile();
  std::wstring AttributeList(const std::wstring& element);
  std::wstring FileName();

  const SkinWords& m_words;
  std::mt19937& m_rng;
  int m_styles = 0;    // styles "s0".."sN" defined by this layout
  int m_controls = 0;  // controls written so far (bounds the tree)
};

// Byte-level damage: truncation, a lost closing tag, stray '<' and '&', NUL, flipped units.
void DamageText(std::wstring& text, std::mt19937& rng);
void DamageBytes(std::string& bytes, std::mt19937& rng);

}  // namespace skin_fuzz
