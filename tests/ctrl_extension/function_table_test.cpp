// The function table walked row by row: parameter strings (their count and
// each parameter's class) against the wrappers they are dispatched to, and
// the names that stand twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "function_table.h"
#include "table_handler.h"

namespace ferrule::ctrl {
namespace {

TEST(FunctionTable, ParameterStringsAreCountedByTheirCommas) {
  EXPECT_EQ(parseParamSignature("(string   ErrMess)").count, 1u);
  EXPECT_EQ(parseParamSignature("(string dfrom, string dto,int devtype_given, "
                                "dyn_string   pfrom_list,string ErrMess)").count, 5u);
  EXPECT_EQ(parseParamSignature("").count, 1u);
  const ParamSignature marked = parseParamSignature("(int &a, string b,dyn_int &c)");
  EXPECT_EQ(marked.count, 3u);
  EXPECT_EQ(marked.byReference[0], 1);
  EXPECT_EQ(marked.byReference[1], 0);
  EXPECT_EQ(marked.byReference[2], 1);
  // Marks past the twentieth parameter are not kept, and such a call is not made.
  const ParamSignature wide = parseParamSignature(std::string(24, ',').append("&").c_str());
  EXPECT_EQ(wide.count, 25u);
  EXPECT_EQ(callWithArgs(FunctionDescriptors()[0].wrapper, 25, nullptr), nullptr);
}

TEST(FunctionTable, EveryFunctionHasAWrapperTakingTheParametersOfItsString) {
  for (const ExternFuncDesc& d : FunctionDescriptors()) {
    ASSERT_NE(d.wrapper.call, nullptr) << d.name;
    EXPECT_EQ(d.wrapper.arity, parseParamSignature(d.paramList).count) << d.name;
  }
}

// Declared class of each parameter: the first word of its declaration.
ArgKind DeclaredKind(const std::string& declaration) {
  std::istringstream words(declaration);
  std::string type;
  words >> type;
  if (type == "string") return ArgKind::Text;
  if (type == "int") return ArgKind::Integer;
  if (type == "dyn_string" || type == "dyn_int") return ArgKind::List;
  ADD_FAILURE() << "unknown parameter class in \"" << declaration << "\"";
  return ArgKind::Text;
}

std::vector<std::string> Declarations(const char* param_list) {
  std::string text(param_list);
  text.erase(std::remove_if(text.begin(), text.end(),
                            [](char c) { return c == '(' || c == ')' || c == '&'; }),
             text.end());
  std::vector<std::string> declarations;
  std::istringstream items(text);
  for (std::string item; std::getline(items, item, ',');) declarations.push_back(item);
  return declarations;
}

TEST(FunctionTable, EveryParameterIsReadAsTheClassItsStringDeclares) {
  // The port types of the macro-link inserts are declared int and stored as
  // texts: the dispatch passes an integer there as its decimal text.
  const std::set<std::pair<std::string, std::size_t>> int_read_as_text = {
      {"PVSSInsertMacroLink", 3},          {"PVSSInsertMacroLink", 5},
      {"PVSSInsertMultipleMacroLinks", 3}, {"PVSSInsertMultipleMacroLinks", 5}};
  for (const ExternFuncDesc& d : FunctionDescriptors()) {
    const std::vector<std::string> declarations = Declarations(d.paramList);
    ASSERT_EQ(declarations.size(), d.wrapper.arity) << d.name;
    for (std::size_t i = 0; i < declarations.size(); ++i) {
      ArgKind declared = DeclaredKind(declarations[i]);
      if (int_read_as_text.count({d.name, i})) {
        EXPECT_EQ(declared, ArgKind::Integer) << d.name << " parameter " << i;
        declared = ArgKind::Text;
      }
      EXPECT_EQ(d.wrapper.kinds[i], declared) << d.name << " parameter " << i << ": \""
                                              << declarations[i] << "\"";
    }
  }
}

TEST(FunctionTable, EveryWrapperReturnsAValueOfItsRecordsClass) {
  // Empty arguments: the checks of the writing wrappers refuse them, the
  // lookups find no connection.
  testing::internal::CaptureStdout();
  for (const ExternFuncDesc& d : FunctionDescriptors()) {
    std::vector<std::unique_ptr<Variable>> owned;
    std::vector<Variable*> args;
    for (std::size_t i = 0; i < d.wrapper.arity; ++i) {
      switch (d.wrapper.kinds[i]) {
        case ArgKind::Text: owned.push_back(std::make_unique<TextVar>("")); break;
        case ArgKind::Integer: owned.push_back(std::make_unique<IntegerVar>(0)); break;
        case ArgKind::List: owned.push_back(std::make_unique<DynVar>(kAnyVariable)); break;
      }
      args.push_back(owned.back().get());
    }
    const Variable* result = d.wrapper.call(args.data());
    ASSERT_NE(result, nullptr) << d.name;
    EXPECT_EQ(result->isA(), d.resultType) << d.name;
  }
  testing::internal::GetCapturedStdout();
}

TEST(FunctionTable, NamesThatStandTwiceShareTheirWrapperAndNoOthersDo) {
  std::map<std::string, const ExternFuncDesc*> by_name;
  std::map<WrapperEntry, std::string> by_wrapper;
  int repeated = 0;
  for (const ExternFuncDesc& d : FunctionDescriptors()) {
    auto [first, inserted] = by_name.emplace(d.name, &d);
    if (!inserted) {
      ++repeated;
      EXPECT_EQ(first->second->resultType, d.resultType) << d.name;
      EXPECT_EQ(first->second->wrapper.call, d.wrapper.call) << d.name;
      EXPECT_EQ(parseParamSignature(first->second->paramList).count,
                parseParamSignature(d.paramList).count)
          << d.name;
    }
    if (d.wrapper.call) {
      auto [owner, fresh] = by_wrapper.emplace(d.wrapper.call, d.name);
      EXPECT_TRUE(fresh || owner->second == d.name) << d.name << " and " << owner->second;
    }
  }
  EXPECT_EQ(repeated, 5);
}

}  // namespace
}  // namespace ferrule::ctrl
