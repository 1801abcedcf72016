// How the function table refers to a wrapper. A wrapper is a plain function
// taking one TextVar*, IntegerVar* or DynVar* per CTRL parameter and
// returning its result value. Bind<wrapper>() records what the dispatch
// needs to call it safely: the number of parameters, the class that each
// one is read as, and one entry point that takes the arguments as an array
// and casts each to its parameter's class (the dispatch has checked them).
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "variables.h"

namespace ferrule::ctrl {

// Wrappers take at most this many parameters.
constexpr std::size_t kMaxParams = 20;

// The class a wrapper reads an argument as.
enum class ArgKind : unsigned char {
  Text,     // TextVar: "string"
  Integer,  // IntegerVar: "int"
  List,     // DynVar: "dyn_string", "dyn_int"
};

using WrapperEntry = const Variable* (*)(Variable* const* args);

struct WrapperBinding {
  WrapperEntry call = nullptr;  // null: no wrapper, every call is refused
  std::size_t arity = 0;
  std::array<ArgKind, kMaxParams> kinds{};
};

namespace binding_detail {

template <class T>
struct KindOf;
template <>
struct KindOf<TextVar> {
  static constexpr ArgKind value = ArgKind::Text;
};
template <>
struct KindOf<IntegerVar> {
  static constexpr ArgKind value = ArgKind::Integer;
};
template <>
struct KindOf<DynVar> {
  static constexpr ArgKind value = ArgKind::List;
};

template <auto F, class Signature = decltype(F)>
struct Binder;

template <auto F, class... Params>
struct Binder<F, const Variable* (*)(Params*...)> {
  static_assert(sizeof...(Params) <= kMaxParams, "a wrapper takes at most 20 parameters");

  static const Variable* Call(Variable* const* args) {
    return CallWith(args, std::index_sequence_for<Params...>{});
  }
  template <std::size_t... I>
  static const Variable* CallWith(Variable* const* args, std::index_sequence<I...>) {
    return F(static_cast<Params*>(args[I])...);
  }
  static constexpr WrapperBinding kBinding{&Call, sizeof...(Params), {KindOf<Params>::value...}};
};

}  // namespace binding_detail

template <auto F>
constexpr WrapperBinding Bind() {
  return binding_detail::Binder<F>::kBinding;
}

}  // namespace ferrule::ctrl
