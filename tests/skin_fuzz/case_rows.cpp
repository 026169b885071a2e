#include "case_rows.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sstream>

#include "support_text.h"

namespace skin_fuzz {

namespace {

const char kActing[] = "+acting";

void Escape(std::string& out, const char* format, unsigned value) {
  char buffer[8];
  snprintf(buffer, sizeof(buffer), format, value);
  out += buffer;
}

// Length of the UTF-8 sequence at `at`, or 0 when the bytes there are not one.
size_t Utf8Length(const std::string& s, size_t at) {
  unsigned char lead = static_cast<unsigned char>(s[at]);
  size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || at + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string EscapeBytes(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    size_t length = b >= 0x80 ? Utf8Length(bytes, i) : 0;
    if (length > 0) {
      out.append(bytes, i, length);
      i += length - 1;
    } else if (b < 0x20 || b >= 0x7F || b == '\\') {
      Escape(out, "\\x%02X", b);
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

std::string EscapeText(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c < 0x20 || c == 0x7F || c == L'\\' || (c >= 0xD800 && c <= 0xDFFF))
      Escape(out, "\\u%04X", c);
    else
      out += testsupport::Utf8(std::wstring(1, c));
  }
  return out;
}

bool Unescape(const std::string& in, std::string& bytes, std::wstring& text, bool wide) {
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\') {
      size_t length = static_cast<unsigned char>(in[i]) >= 0x80 ? Utf8Length(in, i) : 1;
      if (length == 0) return false;
      if (wide)
        text += testsupport::Wide(in.substr(i, length));
      else
        bytes.append(in, i, length);
      i += length - 1;
      continue;
    }
    char kind = i + 1 < in.size() ? in[i + 1] : 0;
    size_t digits = kind == 'x' ? 2 : kind == 'u' ? 4 : 0;
    if (digits == 0 || i + 2 + digits > in.size()) return false;
    unsigned value = static_cast<unsigned>(strtoul(in.substr(i + 2, digits).c_str(), nullptr, 16));
    if (wide)
      text += static_cast<wchar_t>(value);
    else
      bytes += static_cast<char>(value);
    i += 1 + digits;
  }
  return true;
}

}  // namespace

std::string RowOf(const CaseRow& row) {
  char drive[48];
  snprintf(drive, sizeof(drive), "@%u:%llu%s\t", row.seed, row.index, row.acting ? kActing : "");
  const SkinCase& c = row.skin;
  return c.viaFile ? "file" + std::string(drive) + EscapeBytes(c.bytes)
                   : "text" + std::string(drive) + EscapeText(c.markup);
}

bool CaseOfRow(const std::string& line, CaseRow& row) {
  size_t tab = line.find('\t');
  if (tab == std::string::npos) return false;
  std::string road = line.substr(0, tab);
  row = CaseRow();
  const size_t flag = strlen(kActing);
  if (road.size() > flag && road.compare(road.size() - flag, flag, kActing) == 0) {
    row.acting = true;
    road.resize(road.size() - flag);
  }
  size_t at = road.find('@');
  if (at != std::string::npos) {
    if (sscanf(road.c_str() + at + 1, "%u:%llu", &row.seed, &row.index) != 2) return false;
    road.resize(at);
  }
  if (road != "text" && road != "file") return false;
  row.skin.viaFile = road == "file";
  return Unescape(line.substr(tab + 1), row.skin.bytes, row.skin.markup, !row.skin.viaFile);
}

bool ReadRows(const std::wstring& path, std::vector<RegressionRow>& rows) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return false;
  std::string all;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof(buffer), file)) > 0;) all.append(buffer, got);
  fclose(file);
  std::istringstream in(all);
  std::string line, note;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '#') {
      note += line + "\n";
      continue;
    }
    RegressionRow regression;
    if (!CaseOfRow(line, regression.row)) return false;
    regression.note = note;
    note.clear();
    rows.push_back(regression);
  }
  return true;
}

}  // namespace skin_fuzz
