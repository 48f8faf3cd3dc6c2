#include "sheet/field_table.hpp"

namespace kavelin::sheet {

std::string KeyPath(FieldId field) {
  const FieldRow* row = FindRow(field.kind);
  if (row == nullptr) return "field" + std::to_string(static_cast<int>(field.kind));
  const std::string key(row->key);
  switch (row->place) {
    case FieldPlace::kDocument:
      return key;
    case FieldPlace::kEverySection:
      return (field.index < kSectionKeys.size() ? std::string(kSectionKeys[field.index])
                                                : "section" + std::to_string(field.index)) +
             "." + key;
    case FieldPlace::kSection:
      break;
  }
  const std::string path =
      std::string(kSectionKeys[static_cast<std::size_t>(row->section)]) + "." + key;
  return IsArray(*row) ? path + "[" + std::to_string(field.index) + "]" : path;
}

}  // namespace kavelin::sheet
