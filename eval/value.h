// A value of the language: a number or a string of at most 1023
// characters. Short strings live inside the value itself.
#pragma once

#include <string>
#include <utility>

namespace tenrek {

struct Value {
  bool isString = false;
  double number = 0.0;
  std::string text;

  static Value Number(double n) {
    Value v;
    v.number = n;
    return v;
  }
  static Value Text(std::string s) {
    Value v;
    v.isString = true;
    v.text = std::move(s);
    return v;
  }
};

}  // namespace tenrek
