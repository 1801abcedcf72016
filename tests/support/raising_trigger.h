// A trigger that a test puts on a table for a while: every row the events
// write raises an error whose message is 300 two-byte characters ('é', 600
// bytes), as the messages of a server in another language, of a trigger or
// quoting a value can be. Dropped again when it goes, so that the next
// tests find the table as installed.
#pragma once

#include <string>

#include "test_db.h"

class RaisingTrigger {
 public:
  static constexpr const char* kCharacter = "é";

  // events: "insert", "insert or update", "delete"...
  RaisingTrigger(std::string table, const std::string& events) : table_(std::move(table)) {
    testdb::exec("create or replace function ferrule_test_raise() returns trigger "
                 "language plpgsql as $$ begin raise exception '%', repeat('" +
                 std::string(kCharacter) + "', 300); end $$; " + drop_trigger() +
                 "create trigger ferrule_test_raise before " + events + " on " + table_ +
                 " for each row execute function ferrule_test_raise()");
  }
  ~RaisingTrigger() { testdb::exec(drop_trigger() + "drop function ferrule_test_raise()"); }
  RaisingTrigger(const RaisingTrigger&) = delete;
  RaisingTrigger& operator=(const RaisingTrigger&) = delete;

 private:
  std::string drop_trigger() const {
    return "drop trigger if exists ferrule_test_raise on " + table_ + "; ";
  }

  std::string table_;
};
