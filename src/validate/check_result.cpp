#include "validate/check_result.hpp"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace kavelin::validate {

bool CheckResult::Concerns(FieldId field) const {
  return std::any_of(fields.begin(), fields.end(), [&](const std::vector<FieldId>& list) {
    return std::find(list.begin(), list.end(), field) != list.end();
  });
}

CheckResult MakeCheckResult(std::vector<Finding> findings, std::u16string_view closingLine) {
  CheckResult result;
  if (findings.empty()) return result;
  result.found = true;
  result.messages.reserve(findings.size());
  result.fields.reserve(findings.size());
  for (std::size_t i = 0; i < findings.size(); ++i) {
    if (i > 0) result.report += kLineBreak;
    result.report += findings[i].message;
    result.messages.push_back(std::move(findings[i].message));
    result.fields.push_back(std::move(findings[i].fields));
  }
  if (!closingLine.empty()) {
    result.report += kLineBreak;
    result.report += closingLine;
  }
  return result;
}

CheckResult MakeCheckResult(std::vector<std::u16string> messages, std::u16string_view closingLine) {
  std::vector<Finding> findings;
  findings.reserve(messages.size());
  for (auto& message : messages)
    findings.push_back({std::move(message), {}});
  return MakeCheckResult(std::move(findings), closingLine);
}

}  // namespace kavelin::validate
