#pragma once

// Declares a property of a record class as the pair of a getter and a setter named like the
// property, over the column at the given index. Text getters return the trimmed text; setters
// check the value and raise the record's error with the property's name as source.
#define LR_TEXT_PROPERTY(Prop, column) \
  std::string Prop() const {           \
    return GetText(column);            \
  }                                    \
  void Prop(std::string_view value) {  \
    SetText(column, value, #Prop);     \
  }

#define LR_LONG_PROPERTY(Prop, column) \
  long Prop() const {                  \
    return GetLong(column);            \
  }                                    \
  void Prop(const Value& value) {      \
    SetLong(column, value, #Prop);     \
  }

#define LR_BOOL_PROPERTY(Prop, column) \
  bool Prop() const {                  \
    return GetBool(column);            \
  }                                    \
  void Prop(bool value) {              \
    SetBool(column, value);            \
  }
