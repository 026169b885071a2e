// The text readers: XML with entities and macros (tinyxml over the common text layer), the
// logger's configuration text, and the update service's two JSON replies.
#include <tinyxml.h>

#include "app/uninstall_reasons.h"
#include "common/log/log_config.h"
#include "engine/jobs/update_search.h"
#include "readers.h"

namespace fuzz {

namespace {

// Reads every element's attributes and text, as the engine's readers do.
void Walk(const TiXmlNode* node, size_t& seen) {
  for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    seen += child->ValueStr().size();
    if (const TiXmlElement* element = child->ToElement()) {
      for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
        seen += a->ValueStr().size();
      }
    }
    Walk(child, seen);
  }
}

void ReadXml(const std::string& input) {
  TiXmlDocument document;
  document.Parse(input.c_str());
  size_t seen = 0;
  Walk(&document, seen);
}

void ReadLogConfig(const std::string& input) { vemtal::vlog::parseLogConfig(input); }

void ReadSearchReply(const std::string& input) {
  PackageInfo package;
  ParseSearchReply(input, "http://127.0.0.1/soft/update/search", package);
}

void ReadReasonReply(const std::string& input) {
  std::vector<UninstallReason> reasons;
  std::string error;
  ParseReasonReply(input, reasons, error);
}

std::wstring Seeds(const SeedFolders& folders, const wchar_t* name) {
  return folders.source + L"\\tests\\fuzz\\seeds\\" + name;
}

}  // namespace

Reader XmlTextReader(const SeedFolders& folders) {
  Reader reader{"xml", SeedFiles(folders.source + L"\\sample\\product", {L".config"}), &ReadXml};
  // With the macros and references the tests read.
  reader.seeds.push_back(
      "<Config a=\"&#x6E38;&#25103;&amp;&lt;&gt;&quot;&apos;\" b=\"&!env:PATH;\" "
      "c=\"&!reg:Software\\Microsoft\\Windows NT\\CurrentVersion,ProductName;\" d=\"&!sh:x;&!\">"
      "text &#65; &!env:TEMP; <Files><file path=\"a&#0;b\" newpath=\"&#x110000;\"/></Files></Config>");
  return reader;
}

Reader LogConfigReader(const SeedFolders& folders) {
  return {"logconfig", SeedFiles(Seeds(folders, L"logconfig"), {L".ini"}), &ReadLogConfig};
}

Reader SearchReplyReader(const SeedFolders& folders) {
  return {"search", SeedFiles(Seeds(folders, L"search"), {L".json"}), &ReadSearchReply};
}

Reader ReasonReplyReader(const SeedFolders& folders) {
  return {"reasons", SeedFiles(Seeds(folders, L"reasons"), {L".json"}), &ReadReasonReply};
}

}  // namespace fuzz
