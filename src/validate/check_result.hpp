// What a validation pass hands back to the front end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavelin::validate {

struct CheckResult {
  // 1 when the pass found something, 0 when it found nothing; callers test for exactly 1.
  std::uint16_t status = 0;
  // The text to show whole in one message box: one message per line, lines joined by
  // CR LF, no trailing line break. Empty when status is 0.
  std::u16string report;
  // The same messages one by one, without a closing question, for front ends that print
  // them line by line.
  std::vector<std::u16string> messages;

  bool Found() const { return status == 1; }
};

inline constexpr std::u16string_view kLineBreak = u"\r\n";

// Joins the messages into a result; `closingLine`, when given, follows the last message
// as the report's last line, and only when there is a message at all.
CheckResult MakeCheckResult(std::vector<std::u16string> messages,
                            std::u16string_view closingLine = {});

}  // namespace kavelin::validate
