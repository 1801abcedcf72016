// Device updates after which every link is rewritten (weights, usage,
// subsystem sets), made while another client sends a link batch in link
// order: they wait for the batch instead of deadlocking with it, and both
// the batch's change and the recomputed values are kept.
#include <functional>
#include <ostream>
#include <string>

#include "link_batch_beside.h"
#include "update_fixture.h"

namespace {

struct WholeLinkRewrite {
  const char* name;
  std::function<int(char*)> call;
  const char* column;     // the column of the links that the call recomputes
  const char* expected;   // ... with the batch's link_info, for links sw1 -> sw2, sw2 -> sw3
};

// The fixture's devices: sw1 (DAQ,TFC, node), sw2 (DAQ), sw3 (DAQ,ECS).
const WholeLinkRewrite kRewrites[] = {
    {"NodeFlag",
     [](char* err) { return UpdateMultipleAttributesDevices("sw2", 1, -1, "none", 1, 1, err); },
     "link_weight", "3:batch,1:batch"},
    {"NodeUsed", [](char* err) { return UpdateMultipleDeviceNodeUsed("sw3", 0, 1, 1, err); },
     "lkused", "1:batch,0:batch"},
    {"NodeUsedByNamePrefix",
     [](char* err) { return UpdateMultipleDeviceNodeUsedByType("sw3", 0, 0, 1, err); }, "lkused",
     "1:batch,0:batch"},
    {"SubsystemList",
     [](char* err) { return UpdateMultipleDeviceSystemList("sw2", "DAQ,TFC", 1, 1, err); },
     "system_name", "6:batch,2:batch"},
};

void PrintTo(const WholeLinkRewrite& rewrite, std::ostream* out) { *out << rewrite.name; }

class LinkLockOrderTest : public UpdateTest,
                          public testing::WithParamInterface<WholeLinkRewrite> {};

TEST_P(LinkLockOrderTest, WaitsForALinkBatchInLinkOrder) {
  const std::vector<std::string> links =
      testdb::column("select linkid from vexa_macroscopic_connectivity order by linkid");
  ASSERT_EQ(links.size(), 2u);
  const testdb::BesideABatch run = testdb::CallBesideALinkBatch(
      params_, std::stoi(links[0]), std::stoi(links[1]),
      [&] { return Quiet([&] { return GetParam().call(err_); }); });
  ASSERT_TRUE(run.lies_first);
  EXPECT_TRUE(run.call_waited);
  EXPECT_EQ(run.second_row, "");
  EXPECT_EQ(run.commit, "");
  EXPECT_EQ(run.result, 0) << Err();
  EXPECT_EQ(testdb::value(std::string("select string_agg(concat_ws(':', ") + GetParam().column +
                          ", link_info), ',' order by linkid) from vexa_macroscopic_connectivity"),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(EveryLink, LinkLockOrderTest, testing::ValuesIn(kRewrites),
                         [](const testing::TestParamInfo<WholeLinkRewrite>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
