// XML documents of the engine: loaded from wide paths, element names compared ignoring
// ASCII case, attribute names exactly.
#pragma once

#include <tinyxml.h>

#include <string>

// Loads the document at path. On failure the document's error description says why and
// where (" row = ", " col = ").
bool LoadXmlFile(const std::wstring& path, TiXmlDocument& document);

bool IsElementNamed(const TiXmlElement& element, const char* name);

// The attribute's value, empty when absent.
std::string AttributeText(const TiXmlElement& element, const char* name);
