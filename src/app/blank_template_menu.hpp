// The File menu's blank template: texts of the item and its boxes.
#pragma once

#include <string_view>

namespace kavelin::app {

inline constexpr std::u16string_view kBlankTemplateItem = u"テンプレートの雛形を書き出す…";
inline constexpr std::u16string_view kBlankTemplateUnwritable =
    u"テンプレートの雛形を書き出せませんでした。";

}  // namespace kavelin::app
