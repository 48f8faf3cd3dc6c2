// What a validation pass hands back to the front end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "validate/field_id.hpp"

namespace kavelin::validate {

// One message and the fields it is about: the first failing field of a group, both fields
// of a pair that cannot go together, or the template picture.
struct Finding {
  std::u16string message;
  std::vector<FieldId> fields;
};

struct CheckResult {
  // Whether the pass found anything: an error or a warning to show.
  bool found = false;
  // The text to show whole in one message box: one message per line, lines joined by
  // CR LF, no trailing line break. Empty when nothing was found.
  std::u16string report;
  // The same messages one by one, without a closing question, for front ends that print
  // them line by line.
  std::vector<std::u16string> messages;
  // fields[i] are the fields messages[i] is about; always as long as `messages`.
  std::vector<std::vector<FieldId>> fields;

  bool Found() const { return found; }
  // Whether any message is about `field`.
  bool Concerns(FieldId field) const;
};

inline constexpr std::u16string_view kLineBreak = u"\r\n";

// Joins the messages into a result; `closingLine`, when given, follows the last message
// as the report's last line, and only when there is a message at all.
CheckResult MakeCheckResult(std::vector<Finding> findings, std::u16string_view closingLine = {});
// The same for messages that point at no field.
CheckResult MakeCheckResult(std::vector<std::u16string> messages,
                            std::u16string_view closingLine = {});

}  // namespace kavelin::validate
