// A batch whose first row waits for a lock that another session holds
// waits as long as the lock is held, however many rows are still to come:
// rows that the server cannot read yet must not fill the socket buffers,
// where a window closed for tcp_user_timeout ends the connection as if the
// server had vanished. The limit is set to 1 s here, so that a lock held
// for a few seconds shows it.
#include "oci_session.h"
#include "sql_session.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kRows = 3000;
constexpr size_t kNoteBytes = 1000;

struct NoteRow {
  int id;
  char note[kNoteBytes + 1];
};

class OciLockWaitBatch : public OciTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    db.close();
    testdb::params(params_);
    testdb::Params limited = params_;
    limited.server = key_value_text(limited.server) + " tcp_user_timeout=1000";
    ASSERT_EQ(db.open(limited), OCI_SUCCESS) << db.error_text();
  }

  testdb::Params params_;
};

TEST_P(OciLockWaitBatch, WaitsForTheLockWithEveryRowStillToBeSent) {
  std::vector<NoteRow> rows(kRows);
  for (int i = 0; i < kRows; ++i) {
    rows[i].id = i + 1;
    std::string note(kNoteBytes, static_cast<char>('a' + i % 26));
    std::snprintf(rows[i].note, sizeof rows[i].note, "%s", note.c_str());
  }
  OCIStmt* stmt = prepare(GetParam());
  OCIBind* bind = nullptr;
  OCIBindByName(stmt, &bind, db.err, reinterpret_cast<const OraText*>(":id"), -1, &rows[0].id,
                sizeof(int), SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, 0);
  OCIBindArrayOfStruct(bind, db.err, sizeof(NoteRow), 0, 0, 0);
  OCIBindByName(stmt, &bind, db.err, reinterpret_cast<const OraText*>(":note"), -1,
                rows[0].note, sizeof rows[0].note, SQLT_STR, nullptr, nullptr, nullptr, 0,
                nullptr, 0);
  OCIBindArrayOfStruct(bind, db.err, sizeof(NoteRow), 0, 0, 0);

  testdb::Session holder(params_);
  holder.run("BEGIN");
  ASSERT_EQ(holder.run(sql("LOCK TABLE {item} IN SHARE MODE")), "");
  std::atomic<bool> done{false};
  sword status = OCI_SUCCESS;
  std::thread batch([&] {
    status = execute(stmt, kRows);
    done = true;
  });
  testdb::WaitUntil([&] { return done || testdb::AnotherWaitsForALock(holder.pid()); });
  const bool waited = !done;
  // Three times the limit: the rows behind the first must not have waited
  // in a closed window all that time.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  holder.run("COMMIT");
  batch.join();

  EXPECT_TRUE(waited);
  ASSERT_EQ(status, OCI_SUCCESS) << error_number() << " " << error_text();
  ASSERT_EQ(commit(), OCI_SUCCESS) << error_text();
  EXPECT_EQ(value_direct("select count(*) || ' ' || sum(length(note)) from {item}"),
            std::to_string(kRows) + " " + std::to_string(kRows * kNoteBytes));
}

// A statement runs row by row; a block runs in chunks of rows.
INSTANTIATE_TEST_SUITE_P(
    RowsAndChunks, OciLockWaitBatch,
    ::testing::Values("insert into {item}(id, note) values (:id, :note)",
                      "BEGIN insert into {item}(id, note) values (:id, :note); END;"),
    [](const ::testing::TestParamInfo<const char*>& param) {
      return param.index == 0 ? std::string("Statement") : std::string("Block");
    });

}  // namespace
