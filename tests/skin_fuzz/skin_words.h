// What a skin can name, learnt from the framework itself so that a control added to it joins the
// fuzzing by itself: the elements the control factory makes and, per class, the attribute names
// its SetAttribute reads (a name the class does not read ends up among its custom attributes).
#pragma once
#include <string>
#include <vector>

namespace skin_fuzz {

struct ElementWords {
  std::wstring element;           // "Button", from the class name "CButtonUI"
  std::vector<std::wstring> own;  // attributes it reads that a plain control does not
  std::vector<std::wstring> all;  // every attribute it reads
};

struct SkinWords {
  std::vector<ElementWords> elements;
  std::vector<std::wstring> windowAttributes;  // words of the dialog builder (root and resources)
  std::vector<std::wstring> imageKeys;         // words of the render engine (image strings)
  std::vector<std::wstring> words;             // every word of the sources, for values

  // Asks the control factory (the extra controls registered) and probes each class.
  static SkinWords Learn();
  const ElementWords* Find(const std::wstring& element) const;
};

}  // namespace skin_fuzz
