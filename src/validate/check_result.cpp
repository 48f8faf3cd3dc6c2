#include "validate/check_result.hpp"

#include <cstddef>
#include <utility>

namespace kavelin::validate {

CheckResult MakeCheckResult(std::vector<std::u16string> messages, std::u16string_view closingLine) {
  CheckResult result;
  if (messages.empty()) return result;
  result.found = true;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    if (i > 0) result.report += kLineBreak;
    result.report += messages[i];
  }
  if (!closingLine.empty()) {
    result.report += kLineBreak;
    result.report += closingLine;
  }
  result.messages = std::move(messages);
  return result;
}

}  // namespace kavelin::validate
