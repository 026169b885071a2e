#include "app/uninstall_reasons.h"

#include <cwchar>

#include <nlohmann/json.hpp>

#include "common/sys/text_convert.h"

using nlohmann::json;

namespace {

// A member that must be an object or array when present; missing and null read as absent.
const json* OptionalMember(const json& parent, const char* name) {
  auto it = parent.find(name);
  return (it == parent.end() || it->is_null()) ? nullptr : &*it;
}

bool ReadReason(const json& element, UninstallReason& reason, std::string& error) {
  if (!element.is_object()) {
    error = "type_list element is not an object";
    return false;
  }
  auto id = element.find("id");
  auto name = element.find("name");
  if (id == element.end() || !id->is_number()) {
    error = "type_list element without a numeric id";
    return false;
  }
  if (name == element.end() || !name->is_string()) {
    error = "type_list element without a string name";
    return false;
  }
  reason.id = id->get<int>();
  reason.optionName = L"Opt" + std::to_wstring(reason.id);
  reason.text = Utf8ToWide(name->get<std::string>());
  return true;
}

bool ReadReply(const json& root, std::vector<UninstallReason>& reasons, std::string& error) {
  if (!root.is_object()) {
    error = "reply is not an object";
    return false;
  }
  auto code = root.find("code");
  auto msg = root.find("msg");
  if (code == root.end() || !code->is_number()) {
    error = "code is missing or not a number";
    return false;
  }
  if (msg == root.end() || !msg->is_string()) {
    error = "msg is missing or not a string";
    return false;
  }
  const json* data = OptionalMember(root, "data");
  if (data == nullptr) return true;
  if (!data->is_object()) {
    error = "data is not an object";
    return false;
  }
  const json* list = OptionalMember(*data, "type_list");
  if (list == nullptr) return true;
  if (!list->is_array()) {
    error = "type_list is not an array";
    return false;
  }
  for (const json& element : *list) {
    if (reasons.size() == kMaxServiceReasons) break;
    UninstallReason reason;
    if (!ReadReason(element, reason, error)) return false;
    reasons.push_back(reason);
  }
  return true;
}

}  // namespace

bool ParseReasonReply(const std::string& reply, std::vector<UninstallReason>& reasons, std::string& error) {
  reasons.clear();
  try {
    if (ReadReply(json::parse(reply), reasons, error)) return true;
  } catch (const json::exception& e) {
    error = e.what();
  }
  reasons.clear();
  return false;
}

std::wstring ReasonOptionPos(size_t n, int baseY) {
  const int x = (n % 2 == 0) ? 89 : 376;
  const int y = baseY + 63 + 36 * static_cast<int>(n / 2);
  wchar_t text[64] = {};
  swprintf(text, 64, L"%d, %d, %d, %d", x, y, 0, 0);
  return text;
}

std::wstring BuildFeedbackText(int type, const std::wstring& content, const std::wstring& mobile) {
  if (type == kNoFeedbackType) return std::wstring();
  const json feedback = {{"content", WideToUtf8(content)}, {"type", type}, {"mobile", WideToUtf8(mobile)}};
  // A lone surrogate typed into an edit must not stop the uninstall.
  return Utf8ToWide(feedback.dump(-1, ' ', false, json::error_handler_t::replace));
}
