#pragma once
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "host/clip.h"

namespace pramvix {

// A script value: void, clip, bool, integer, float, string or array.
class AVSValue {
 public:
  AVSValue() = default;
  AVSValue(PClip clip) : v_(std::move(clip)) {}           // NOLINT
  AVSValue(IClip* clip) : v_(PClip(clip)) {}              // NOLINT
  AVSValue(bool b) : v_(b) {}                             // NOLINT
  AVSValue(int i) : v_(i) {}                              // NOLINT
  AVSValue(float f) : v_(f) {}                            // NOLINT
  AVSValue(double f) : v_(static_cast<float>(f)) {}       // NOLINT
  AVSValue(const char* s) : v_(std::string(s)) {}         // NOLINT
  AVSValue(std::string s) : v_(std::move(s)) {}           // NOLINT
  AVSValue(std::vector<AVSValue> elements)                // NOLINT
      : v_(std::make_shared<const std::vector<AVSValue>>(std::move(elements))) {}

  bool Defined() const { return v_.index() != 0; }
  bool IsClip() const { return std::holds_alternative<PClip>(v_); }
  bool IsBool() const { return std::holds_alternative<bool>(v_); }
  bool IsInt() const { return std::holds_alternative<int>(v_); }
  // As in the host, an integer is also a float.
  bool IsFloat() const { return IsInt() || std::holds_alternative<float>(v_); }
  bool IsString() const { return std::holds_alternative<std::string>(v_); }
  bool IsArray() const { return std::holds_alternative<Array>(v_); }

  // An element that holds no clip yields an empty handle.
  PClip AsClip() const { return IsClip() ? std::get<PClip>(v_) : PClip(); }
  bool AsBool() const { return IsBool() && std::get<bool>(v_); }
  // The stored integer; an element of another type gives 0.
  int AsInt() const { return IsInt() ? std::get<int>(v_) : 0; }
  // An integer converts to float; a stored float is taken unchanged.
  float AsFloat() const {
    if (IsInt()) return static_cast<float>(std::get<int>(v_));
    return std::holds_alternative<float>(v_) ? std::get<float>(v_) : 0.0f;
  }
  const char* AsString() const { return IsString() ? std::get<std::string>(v_).c_str() : ""; }

  int ArraySize() const { return IsArray() ? static_cast<int>(std::get<Array>(v_)->size()) : 1; }
  // Element i of an array; a value that is not an array is its own element 0.
  const AVSValue& operator[](int i) const {
    static const AVSValue kVoid;
    if (!IsArray()) return i == 0 ? *this : kVoid;
    const auto& elements = *std::get<Array>(v_);
    return (i >= 0 && i < static_cast<int>(elements.size())) ? elements[static_cast<size_t>(i)] : kVoid;
  }

 private:
  using Array = std::shared_ptr<const std::vector<AVSValue>>;
  std::variant<std::monostate, PClip, bool, int, float, std::string, Array> v_;
};

}  // namespace pramvix
