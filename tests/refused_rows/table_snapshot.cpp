#include "table_snapshot.h"

#include "test_db.h"

namespace sweep {
namespace {

// One query per table, joined: "schema.name", a newline, then the table's
// rows without the columns named above.
constexpr const char* kSnapshotQuery = R"sql(
select string_agg(format(
  'select %L || E''\n'' || coalesce((select string_agg(r::text, E''\n'' order by r::text) '
  'from (select %s from %I.%I) r), '''')', n.nspname || '.' || c.relname,
  coalesce((select string_agg(quote_ident(a.attname), ',' order by a.attnum)
            from pg_attribute a
            where a.attrelid = c.oid and a.attnum > 0 and not a.attisdropped
              and a.atttypid not in ('date'::regtype, 'timestamp'::regtype,
                                     'timestamptz'::regtype)
              and lower(a.attname) !~ '(id|idfrom|idto)$'
              and a.attname not in ('version', 'step')), ''),
  n.nspname, c.relname), ' union all ')
from pg_class c join pg_namespace n on n.oid = c.relnamespace
where c.relkind in ('r', 'p')
  and n.nspname not in ('pg_catalog', 'information_schema')
  and n.nspname !~ '^pg_(toast|temp)'
)sql";

}  // namespace

TableContents SnapshotEveryTable() {
  static const std::string query = testdb::value(kSnapshotQuery);
  TableContents tables;
  for (const std::string& table : testdb::column(query)) {
    const std::size_t end_of_name = table.find('\n');
    tables[table.substr(0, end_of_name)] = table.substr(end_of_name + 1);
  }
  return tables;
}

}  // namespace sweep
