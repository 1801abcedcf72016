// The swap of the hardware of two functional devices, done by the server
// package in one call; the server's answer decides between commit and
// rollback.
#include <cstring>

#include "block_call.h"
#include "ferrule.h"
#include "insert/caller_identity.h"
#include "reasons.h"
#include "report.h"
#include "session.h"
#include "statement_text.h"

namespace ferrule {
namespace {

constexpr const char* kName = "SwapTwoDevices";

// The server answers a text that begins with this word when it swapped.
constexpr const char* kSwapped = "SUCCESSFUL_SWAPPING";
// Room for the server's answer: 200 characters and a NUL.
constexpr std::size_t kAnswerSize = 201;

const char* const kSwapBlock =
    "BEGIN :rescode := %(swap_two_devices)(:logName1 ,:logName2, '%(login)', :usercomments); "
    "GET DIAGNOSTICS :numrows = %(row_count); END;";

int refuse(const char* reason, char* ErrMess) {
  ReportFailure(kName, reason, ErrMess);
  return -1;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int SwapTwoDevices(const char* functional_devname1, const char* functional_devname2,
                              const char* comments, char* ErrMess) {
  if (!session().connected()) return refuse(reason::kNotConnected, ErrMess);
  CallerIdentity identity;
  if (!ReadCallerIdentity(identity, ErrMess)) return -1;
  if (!functional_devname1) return refuse("functional_devicename1 can't be null", ErrMess);
  if (!functional_devname2) return refuse("functional_devicename2 can't be null", ErrMess);

  StatementHandle stmt;
  if (!AllocateStatement(stmt, kName, "OCIHandleAlloc unsuccessful", ErrMess)) return -1;
  std::vector<char> name1 = BindCopy(functional_devname1);
  std::vector<char> name2 = BindCopy(functional_devname2);
  std::vector<char> user_comments = BindCopy(comments);
  // Preset, so that a server that answers nothing reads as a failure.
  std::vector<char> answer(kAnswerSize, '\0');
  std::strcpy(answer.data(), "blabla");
  int numrows = 0;

  std::vector<BlockStep> steps{
      {ExpandTemplate(kSwapBlock, {{"login", QuoteLiteral(identity.login.c_str())}}),
       {BlockBind::Buffer(":logName1", name1), BlockBind::Buffer(":logName2", name2),
        BlockBind::Buffer(":usercomments", user_comments), BlockBind::Buffer(":rescode", answer),
        BlockBind::Int(":numrows", numrows)},
       &kCallNameLabels,
       [&] {
         if (std::strncmp(answer.data(), kSwapped, std::strlen(kSwapped)) == 0)
           return BlockVerdict{};
         return BlockVerdict{BlockEnd::Rollback, answer.data()};
       }}};
  return RunBlockCall(kName, stmt, steps, ErrMess);
}
