// The uninstall form's data: the reasons the update service offers, where the form places
// them, and the feedback it sends back.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct UninstallReason {
  int id = 0;
  std::wstring optionName;  // "Opt" + id
  std::wstring text;
};

// The form has room for this many of the service's reasons.
constexpr size_t kMaxServiceReasons = 6;
// The feedback type of a form with nothing chosen: no feedback is sent.
constexpr int kNoFeedbackType = 9999;

// Reads the whole reply of the reason query,
// {"code": n, "msg": s, "data": {"type_list": [{"id": n, "name": s}, ...]}}, before anything
// is shown: true with its first six reasons (none when "data" or "type_list" is missing or
// empty); false with no reasons and the error text when the reply cannot be used.
bool ParseReasonReply(const std::string& reply, std::vector<UninstallReason>& reasons, std::string& error);

// The float position text of the n-th reason (from 0): two columns at x 89 and 376, rows
// 36 pixels apart from y baseY + 63, sized by the option's own width and height.
std::wstring ReasonOptionPos(size_t n, int baseY);

// The feedback as the job record holds it: {"content", "mobile", "type"} as compact JSON,
// or empty for kNoFeedbackType.
std::wstring BuildFeedbackText(int type, const std::wstring& content, const std::wstring& mobile);
