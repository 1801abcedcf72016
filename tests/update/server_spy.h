// Watches the server functions that the updates call: while a ServerSpy
// lives, each of them records its calls (function name and arguments) in
// the table ferrule_test_calls and answers as before, unless a test sets an
// answer of its own or makes it raise an error. The function is renamed
// aside and replaced by a recording one; the destructor puts it back. A spy
// left behind by an aborted run is removed by the next one.
#pragma once

#include <string>
#include <vector>

#include "test_db.h"

class ServerSpy {
 public:
  ServerSpy() {
    Restore();
    testdb::exec(
        "do $$ begin "
        "if to_regclass('ferrule_test_calls') is null then "
        "create table ferrule_test_calls (n serial, fn text, args text); end if; "
        "if to_regclass('ferrule_test_answers') is null then "
        "create table ferrule_test_answers (fn text primary key, answer text); end if; "
        "if to_regclass('ferrule_test_raises') is null then "
        "create table ferrule_test_raises (fn text primary key, sqlstate text); end if; "
        "end $$; "
        "delete from ferrule_test_calls; delete from ferrule_test_answers; "
        "delete from ferrule_test_raises;");
    for (const Spied& f : kSpied) {
      testdb::exec("alter function " + f.schema + "." + f.name + "(" + f.arg_types +
                   ") rename to " + f.name + "_unspied");
      testdb::exec("create function " + f.schema + "." + f.name + "(" + f.params +
                   ") returns " + f.result + " language plpgsql as $$ begin "
                   "insert into ferrule_test_calls (fn, args) values ('" + f.name + "', concat_ws(',', " +
                   f.args + ")); "
                   "if exists (select 1 from ferrule_test_raises where fn = '" + f.name + "') then "
                   "raise exception 'refresh stopped by the test' using errcode = (select sqlstate "
                   "from ferrule_test_raises where fn = '" + f.name + "'); end if; "
                   "return coalesce((select answer::" + f.result +
                   " from ferrule_test_answers where fn = '" + f.name + "'), " + f.schema + "." +
                   f.name + "_unspied(" + f.args + ")); end $$");
    }
  }
  ~ServerSpy() { Restore(); }

  // The arguments of each call of the function (lower-case name), in order.
  static std::vector<std::string> Calls(const std::string& fn) {
    return testdb::column("select args from ferrule_test_calls where fn = '" + fn +
                          "' order by n");
  }
  // From now on the function answers this text (cast to its result type;
  // a text that does not cast makes every call fail).
  static void Answer(const std::string& fn, const std::string& answer) {
    testdb::exec("insert into ferrule_test_answers values ('" + fn + "', '" + answer +
                 "') on conflict (fn) do update set answer = excluded.answer");
  }
  // From now on every call of the function raises an error with this
  // SQLSTATE (57014, say: what a statement timeout raises).
  static void Raise(const std::string& fn, const std::string& sqlstate) {
    testdb::exec("insert into ferrule_test_raises values ('" + fn + "', '" + sqlstate +
                 "') on conflict (fn) do update set sqlstate = excluded.sqlstate");
  }
  // Answers as before again.
  static void Heal(const std::string& fn) {
    testdb::exec("delete from ferrule_test_answers where fn = '" + fn +
                 "'; delete from ferrule_test_raises where fn = '" + fn + "'");
  }

 private:
  struct Spied {
    std::string schema, name, arg_types, params, args, result;
  };
  inline static const std::vector<Spied> kSpied{
      {"routingtable_pck", "updatepathused", "integer", "flag integer", "flag", "integer"},
      {"routingtable_pck", "deletelinksinpaths", "integer, integer", "pfrom integer, pto integer",
       "pfrom, pto", "integer"},
      {"pathqueries_pck", "checkandupdatedynamictables", "integer", "flag integer", "flag",
       "text"},
  };

  static void Restore() {
    for (const Spied& f : kSpied) {
      const std::string aside = f.schema + "." + f.name + "_unspied";
      if (testdb::value("select to_regprocedure('" + aside + "(" + f.arg_types + ")')") ==
          "<null>")
        continue;
      testdb::exec("drop function if exists " + f.schema + "." + f.name + "(" + f.arg_types +
                   "); alter function " + aside + "(" + f.arg_types + ") rename to " + f.name);
    }
  }
};
