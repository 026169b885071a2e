// A skin case as one line of text: its road ("text" or "file") with the seed and number of the
// input that drives it ("text@1:191") and, when receivers act on its notifications, "+acting"
// (their choices are those of the same case: "text@1:191+acting"), a tab, and the markup (UTF-8;
// control characters, lone surrogates and bytes that are not UTF-8 escaped as \uXXXX or \xHH, the
// backslash as \\). The regression rows and the failure reports use it.
#pragma once
#include <string>
#include <vector>

#include "markup_maker.h"

namespace skin_fuzz {

struct CaseRow {
  SkinCase skin;
  unsigned seed = 0;  // the input that drives the window: case `index` of `seed`
  unsigned long long index = 0;
  bool acting = false;  // acting receivers change the tree from inside its notifications
};

std::string RowOf(const CaseRow& row);
bool CaseOfRow(const std::string& line, CaseRow& row);

struct RegressionRow {
  std::string note;  // the "#" lines above the row
  CaseRow row;
};
// The rows of a file; false when it cannot be read or holds a line that is not a row.
bool ReadRows(const std::wstring& path, std::vector<RegressionRow>& rows);

}  // namespace skin_fuzz
