// The plug-in as the platform sees it: handlers from newExternHdl, the
// records they hand over, and the checks every call passes before its
// wrapper runs. No database: wrappers that do run find no connection.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ctrl_platform.h"

namespace {

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override { ErrHdl::clearRecorded(); }
  CtrlPlatform ctrl_;
};

TEST_F(Dispatch, EveryHandlerServesTheSameRecordsInTableOrder) {
  BaseExternHdl* next = &ctrl_.handler();
  std::unique_ptr<BaseExternHdl> other(CtrlPlatform::NewHandler(next));
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other.get(), next);
  EXPECT_EQ(other->getNext(), next);
  ASSERT_EQ(other->getFunctionCount(), 121u);
  EXPECT_EQ(other->getFunctions(), ctrl_.handler().getFunctions()) << "the table is built once";

  const FunctionListRec* records = other->getFunctions();
  std::set<std::string> names;
  for (unsigned long i = 0; i < 121; ++i) {
    EXPECT_EQ(records[i].flag, 1) << i;
    names.insert(records[i].name);
  }
  EXPECT_EQ(names.size(), 116u) << "five names stand twice";
  EXPECT_STREQ(records[0].name, "PVSSGetDeviceTypeRow");
  EXPECT_STREQ(records[0].paramList, "(string dtype)");
  EXPECT_EQ(records[0].resultType, kTextVariable);
  EXPECT_STREQ(records[1].paramList, "(string   ErrMess)");
  EXPECT_EQ(records[13].resultType, kDynVariable);
  EXPECT_STREQ(records[120].name, "PVSSDeletePortRow");

  // Destroying one handler leaves the defaults of the others alive.
  other.reset();
  EXPECT_EQ(TextResult(ctrl_.Call("PVSSGetDeviceTypeRow", {})), "");
}

// A function that writes its ErrMess argument shows whether its wrapper ran.
TEST_F(Dispatch, CalledNameMustBeTheResolvedFunctionsName) {
  TextVar err("untouched");
  const unsigned long deconnexion = ctrl_.handler().getFuncNum(CharString("PVSSDBDeconnexion"));
  const Variable* result = ctrl_.CallNumber(deconnexion, "PVSSDBConnexion", {Arg::Of(err)});

  EXPECT_EQ(IntResult(result), 0);
  EXPECT_STREQ(err.getValue(), "untouched") << "no wrapper ran";
  ASSERT_EQ(ErrHdl::recorded().size(), 1u);
  const ErrClass& error = ErrHdl::recorded()[0];
  EXPECT_EQ(error.getPriority(), 1);
  EXPECT_EQ(error.getType(), 0);
  EXPECT_EQ(error.getCode(), 54u);
  EXPECT_EQ(error.getText(0), "PVSSDBConnexion");
  EXPECT_EQ(error.getText(1), " called implementation of Function ");
  EXPECT_EQ(error.getText(2), "PVSSDBDeconnexion");
  EXPECT_TRUE(ctrl_.thread().getLastErrors().empty());
}

TEST_F(Dispatch, ArgumentCountMustMatchTheParameterString) {
  TextVar err("untouched");
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(err), "one too many"})), 0);
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSDBDeconnexion", {})), 0);
  EXPECT_STREQ(err.getValue(), "untouched");

  ASSERT_EQ(ErrHdl::recorded().size(), 2u);
  for (const ErrClass& error : ErrHdl::recorded()) {
    EXPECT_EQ(error.getPriority(), 2);
    EXPECT_EQ(error.getType(), 3);
    EXPECT_EQ(error.getCode(), 75u);
    EXPECT_EQ(error.getText(0), kCallContext);
    EXPECT_EQ(error.getText(1), "PVSSDBDeconnexion");
    EXPECT_EQ(error.getText(2), "Argument missing: PVSSDBDeconnexion(string   ErrMess)");
  }
  ASSERT_EQ(ctrl_.thread().getLastErrors().size(), 2u);
  EXPECT_EQ(ctrl_.thread().getLastErrors()[1].getCode(), 75u);

  TextResult(ctrl_.Call("PVSSGetDeviceTypeRow", {"a", "b"}));
  EXPECT_EQ(ErrHdl::recorded().back().getText(2),
            "Argument missing: PVSSGetDeviceTypeRow(string dtype)");
}

TEST_F(Dispatch, RefusedCallsReturnTheDefaultOfTheirFunction) {
  EXPECT_EQ(TextResult(ctrl_.Call("PVSSGetDeviceRow_devid", {})), "");
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSDBConnexion", {})), 0);
  // Lists default to an integer 0 (id lists, MAC and IP data) or to a text.
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSGetDeviceIDsPerType", {})), 0);
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSGetMacIPAddPerDevID", {})), 0);
  EXPECT_EQ(TextResult(ctrl_.Call("PVSSGetFreeDeviceNamesPerType", {})), "");
}

TEST_F(Dispatch, ArgumentsThatCannotBeReadRefuseTheCall) {
  TextVar err("untouched");
  DynVar list(kTextVariable);
  list.append(TextVar("x"));
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSDBDeconnexion", {Arg::Nothing()})), 0);
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSDBDeconnexion", {Arg::Throwing()})), 0);
  EXPECT_EQ(IntResult(ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(list)})), 0);
  EXPECT_EQ(TextResult(ctrl_.Call("PVSSGetDeviceRow_devid", {"12"})), "");
  EXPECT_EQ(TextResult(ctrl_.Call("PVSSGetDeviceTypeRow", {Arg::Value(list)})), "");
  EXPECT_EQ(TextResult(ctrl_.Call("PVSSInsertMacroLink",
                                  {"a", "b", "p1", "t1", "p2", "t2", "data", "one", "info", 0})),
            "")
      << "a text where an integer is read";
  EXPECT_TRUE(ErrHdl::recorded().empty());
}

TEST_F(Dispatch, IntegerWhereATextIsReadArrivesAsItsDecimalText) {
  // Declared int, read as texts: the port types of the macro links.
  const std::string refused = TextResult(ctrl_.Call(
      "PVSSInsertMacroLink", {"a", "b", "p1", 7, "p2", 8, "data", 1, "info", 2}));
  EXPECT_EQ(refused, "Error:last_rows is equal to 1 or 0") << "the wrapper ran";

  testing::internal::CaptureStdout();
  const std::string row = TextResult(ctrl_.Call("PVSSGetDeviceRow_devicename", {5}));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(row, "ERROR in GetDeviceRow_devicename : NOT CONNECTED TO ANY DB");
}

TEST_F(Dispatch, EachCallReleasesTheValuesMadeForThePreviousOne) {
  SimplePtrArray<Variable>& values = ctrl_.thread().getValueArray();
  testing::internal::CaptureStdout();
  ctrl_.Call("PVSSGetDeviceRow_devicename", {"sw1"});
  EXPECT_EQ(values.getNumberOfItems(), 1u);
  ctrl_.Call("PVSSGetDeviceTypeRow", {});  // refused
  EXPECT_EQ(values.getNumberOfItems(), 0u);
  TextVar err;
  ctrl_.Call("PVSSInsertSparePort", {"SN", "p", "t", 1, "b", "m", 7});
  EXPECT_EQ(values.getNumberOfItems(), 7u);
  ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(err)});
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(values.getNumberOfItems(), 0u) << "a variable of the script is not a made value";
}

}  // namespace
