// A row that is refused leaves nothing of its own in any table. For every
// export of refusal_cases.h: each way of refusing a row, in a batch between
// two accepted rows, must leave every table as the two accepted rows sent
// alone leave it (or as it was, where the send is undone whole); each
// refused single-row call must leave every table as it was.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "connected_fixture.h"
#include "insert/cache_release.h"
#include "refusal_cases.h"
#include "sweep_network.h"
#include "table_snapshot.h"
#include "update/update_caches.h"

namespace {

using sweep::CachedRow;
using sweep::ExportSweep;
using sweep::Leaves;
using sweep::TableContents;

void CloseEveryBatch() {
  using namespace ferrule;
  for (auto release :
       {FreeInsertDeviceTypesCache, FreeInsertFunctionalDevicesCache, FreeInsertPortsCache,
        FreeInsertSparePortsCache, FreeInsertMacroLinksCache, FreeInsertSpareDevicesCache,
        FreeInsertBoardCpntsCache, FreeInsertMicroLinksCache, FreeInsertSimpleLinkTypesCache,
        FreeInsertCompositeLinkTypesCache, FreeUpdateBidirectionalLinksCache,
        FreeUpdateLkUsedLinksCache, FreeUpdateLkTypeLinksCache, FreeUpdateLkInfoLinksCache,
        FreeUpdateAttributesDevicesCache, FreeUpdateDeviceNodeUsedCache,
        FreeUpdateDeviceActiveCache, FreeUpdateDevNamesDevicesCache, FreeUpdateDTypeDevicesCache,
        FreeUpdateDeviceSystemListCache, FreeUpdateDeviceTypeAttributesCache,
        FreeUpdateDeviceTypesCache, FreeUpdateLinkTypeNamesCache,
        FreeUpdateCompositeLinkTypesCache, FreeUpdateAttributeMacIPsCache,
        FreeUpdateIPAddressesCache, FreeUpdatePortsCache, FreeUpdatePortStatusesCache})
    release();
}

// Every table that differs, with both contents.
void ExpectSameTables(const TableContents& actual, const TableContents& expected) {
  std::set<std::string> tables;
  for (const auto& table : actual) tables.insert(table.first);
  for (const auto& table : expected) tables.insert(table.first);
  for (const std::string& table : tables) {
    const auto found = actual.find(table), wanted = expected.find(table);
    EXPECT_EQ(found == actual.end() ? "<no table>" : found->second,
              wanted == expected.end() ? "<no table>" : wanted->second)
        << "table " << table;
  }
}

class RefusedRowsSweep : public ConnectedTest, public testing::WithParamInterface<ExportSweep> {
 protected:
  void SetUp() override {
    CloseEveryBatch();
    ConnectedTest::SetUp();
  }
  void TearDown() override {
    ConnectedTest::TearDown();
    CloseEveryBatch();
  }

  // Sends the rows as one batch: the first opens it, the last sends it.
  // The answers of the calls, in order.
  std::vector<int> SendBatch(const std::vector<const CachedRow*>& rows) {
    std::vector<int> answers;
    for (std::size_t i = 0; i < rows.size(); ++i)
      answers.push_back(Quiet([&] { return (*rows[i])(i == 0, i + 1 == rows.size(), err_); }));
    return answers;
  }
  // The network afresh, with the rows sent; every table afterwards.
  TableContents AfterBatch(const std::vector<const CachedRow*>& rows, std::vector<int>& answers) {
    sweep::SeedNetwork();
    answers = SendBatch(rows);
    return sweep::SnapshotEveryTable();
  }
};

TEST_P(RefusedRowsSweep, ARefusedRowLeavesNothingOfItsOwn) {
  const ExportSweep& sweep = GetParam();

  sweep::SeedNetwork();
  const TableContents before = sweep::SnapshotEveryTable();
  for (const sweep::SingleRefusal& refusal : sweep.single) {
    SCOPED_TRACE(std::string("single-row call, ") + refusal.way);
    EXPECT_NE(Quiet([&] { return refusal.call(err_); }), 0) << err_;
    ExpectSameTables(sweep::SnapshotEveryTable(), before);
  }
  if (!sweep.first_accepted) return;

  std::vector<int> answers;
  const TableContents accepted =
      AfterBatch({&sweep.first_accepted, &sweep.second_accepted}, answers);
  ASSERT_EQ(answers, (std::vector<int>{0, 0})) << err_;
  ASSERT_NE(accepted, before) << "the accepted rows change nothing";

  for (const sweep::CachedRefusal& refusal : sweep.cached) {
    SCOPED_TRACE(std::string("batch, ") + refusal.way);
    const TableContents after =
        AfterBatch({&sweep.first_accepted, &refusal.row, &sweep.second_accepted}, answers);
    EXPECT_NE(answers, (std::vector<int>{0, 0, 0})) << "no call answered the refusal";
    ExpectSameTables(after, refusal.leaves == Leaves::AcceptedRows ? accepted : before);
    CloseEveryBatch();
  }
}

std::vector<ExportSweep> EverySweep() {
  std::vector<ExportSweep> all = sweep::InsertSweeps();
  for (ExportSweep& update : sweep::UpdateSweeps()) all.push_back(std::move(update));
  return all;
}

INSTANTIATE_TEST_SUITE_P(EveryExport, RefusedRowsSweep, testing::ValuesIn(EverySweep()),
                         [](const testing::TestParamInfo<ExportSweep>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
