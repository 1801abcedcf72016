// The ErrMess forms, status reports and fetch-indicator replacements.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "identity.h"
#include "report.h"
#include "statement_text.h"

namespace ferrule {
namespace {

TEST(ErrMessForms, SuccessAndFailure) {
  char buf[kErrMessMax];
  ReportSuccess("GetDeviceTypeRow", buf);
  EXPECT_STREQ(buf, "NO_ERROR in GetDeviceTypeRow");
  ReportFailure("GetDeviceTypeRow", " devicetype MUST be given", buf);
  EXPECT_STREQ(buf, "ERROR in GetDeviceTypeRow :  devicetype MUST be given");
  // A result computed from client steps picks the form by whether they succeeded.
  ReportOCIOutcome(true, nullptr, "InsertPort", buf);
  EXPECT_STREQ(buf, "NO_ERROR in InsertPort");
  ReportOCIOutcome(false, nullptr, "InsertPort", buf);
  EXPECT_STREQ(buf, "ERROR in InsertPort : NOT CONNECTED TO ANY DB");
  // A failed system call names its error number and text.
  EXPECT_EQ(getTerminalName(nullptr, 0, buf), -1);
  EXPECT_EQ(std::string(buf), "ERROR in getTerminalName failed with error " +
                                  std::to_string(EINVAL) + ": " + std::strerror(EINVAL));
}

TEST(ErrMessForms, NeverLongerThanTheDocumentedBound) {
  char buf[kErrMessMax + 64];
  std::memset(buf, 'x', sizeof buf);
  std::string name(300, 'n'), reason(500, 'r');
  ReportFailure(name.c_str(), reason.c_str(), buf);
  EXPECT_EQ(std::strlen(buf), kErrMessMax - 1);
  EXPECT_EQ(buf[kErrMessMax], 'x') << "nothing written past the bound";
  // Without an error handle the failure form still carries a reason.
  ReportOCIFailure(nullptr, "Any", buf);
  EXPECT_STREQ(buf, "ERROR in Any : NOT CONNECTED TO ANY DB");
}

// The name's 99 bytes end inside the two-byte "é" and the reason's 199
// inside the three-byte "€": neither is split.
TEST(ErrMessForms, CutsEndOnAWholeCharacter) {
  char buf[kErrMessMax];
  const std::string kept_name(98, 'n'), kept_reason(197, 'r');
  const std::string name = kept_name + "é", reason = kept_reason + "€";
  ReportFailure(name.c_str(), reason.c_str(), buf);
  EXPECT_EQ(std::string(buf), "ERROR in " + kept_name + " : " + kept_reason);
  ReportSuccess(name.c_str(), buf);
  EXPECT_EQ(std::string(buf), "NO_ERROR in " + kept_name);
  ReportSystemFailure(name.c_str(), buf, EINVAL);
  EXPECT_EQ(std::string(buf), "ERROR in " + kept_name + " failed with error " +
                                  std::to_string(EINVAL) + ": " + std::strerror(EINVAL));
}

TEST(StatusReports, ReturnedCodesAndLines) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(ReportOCIStatus(0, nullptr, "ctx"), 0);
  EXPECT_EQ(ReportOCIStatus(100, nullptr, "OCIFETCH unsuccessful"), 100);
  EXPECT_EQ(ReportOCIStatus(-2, nullptr, "OCIStmtHAndleStmt unsuccessful"), -2);
  EXPECT_EQ(ReportOCIStatus(99, nullptr, "x"), 99);
  EXPECT_EQ(ReportOCIStatus(-3123, nullptr, "y"), -3123);
  EXPECT_EQ(ReportOCIStatus(-10, nullptr, "alloc"), -10);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error - OCI_NODATA OCIFETCH unsuccessful\n"
            "Error - OCI_INVALID_HANDLE OCIStmtHAndleStmt unsuccessful\n"
            "Error - OCI_NEED_DATA x\n"
            "Error - OCI_STILL_EXECUTE y\n");
}

TEST(FetchIndicators, ReplacementsEndWithTheSeparator) {
  char value[64] = "abc";
  char log[100];
  CheckFetchIndicator(0, value, sizeof value, log, '?');
  EXPECT_STREQ(value, "abc");
  EXPECT_STREQ(log, "NO_ERROR");
  CheckFetchIndicator(-1, value, sizeof value, log, '?');
  EXPECT_STREQ(value, "NULL?");
  EXPECT_STREQ(log, "NULL_VALUE");
  CheckFetchIndicator(120, value, sizeof value, log, '?');
  EXPECT_STREQ(value, "ERROR_BUFFER_TOOSMALL?");
  EXPECT_STREQ(log, "ERROR:length of return greater than actual output you need 120");
  CheckFetchIndicator(-2, value, sizeof value, log, '|');
  EXPECT_STREQ(value, "ERROR_BUFFER_TOOSMALL|");
  CheckFetchIndicator(-1, value, sizeof value, log, kNoMark);
  EXPECT_STREQ(value, "NULL") << "a column without a mark";
  char tiny[4] = "ab";
  CheckFetchIndicator(7, tiny, sizeof tiny, log, '?');
  EXPECT_STREQ(tiny, "ERR") << "a small buffer is never overrun";
}

TEST(FetchIndicators, MinimumColumnLength) {
  int a = 12, b = 50, c = 4000;
  EnsureMinColumnLength(&a);
  EnsureMinColumnLength(&b);
  EnsureMinColumnLength(&c);
  EXPECT_EQ(a, 50);
  EXPECT_EQ(b, 50);
  EXPECT_EQ(c, 4000);
}

TEST(StatementTexts, FieldsTakeTheirNamesAndQuotesAreDoubled) {
  EXPECT_EQ(ExpandTemplate("select %(x) from %(devices) where y like '10%%' and z=%(x)",
                           {{"x", "42"}}),
            "select 42 from vexa_lg_devices where y like '10%' and z=42");
  // A call's field goes before the Name list's field of the same name.
  EXPECT_EQ(ExpandTemplate("%(devices)", {{"devices", "d"}}), "d");
  EXPECT_EQ(QuoteLiteral("o'brien"), "o''brien");
  EXPECT_EQ(QuoteLiteral(nullptr), "");
}

TEST(StatementTexts, AnUnknownFieldStaysInTheTextAndIsListed) {
  EXPECT_EQ(ExpandTemplate("select * from %(devcies) where a=%(x", {}),
            "select * from %(devcies) where a=%(x");
  EXPECT_EQ(UnknownTemplateFields("%(devcies) %(devices) %(login)", {{"login", "me"}}),
            std::vector<std::string>{"devcies"});
}

}  // namespace
}  // namespace ferrule
