// The tests of the parsers check a read's value and its words side by side; this puts a
// read (a struct of a value and its Spanish error) back into those two, the value only
// when it was read, so that a refusal is seen to leave the test's value as it was.
#pragma once
#include <string>

template <typename Read, typename Value>
bool Took(const Read& read, Value Read::*field, Value* value, std::string* error) {
  *error = read.error;
  if (!read.error.empty()) return false;
  *value = read.*field;
  return true;
}
