// The engine of the three path queries inside a board: one block has the
// server prepare the board's links, list the paths from the start and keep
// the wanted ones in vexa_micropath_temp; the rows are then read back,
// ordered by path and position, into the caller's arrays and packed lists.
// The work is committed on every path once the block ran.
#pragma once

#include <vector>

namespace ferrule {

struct MicroBind {
  const char* placeholder;
  bool is_text;
  const char* text;  // texts: the caller's value (null binds NULL)
  int number;        // integers: the value sent; outputs are read back
};

struct MicroPathQuery {
  const char* appliName;
  const char* block;          // template of the block
  int name_buffer;            // fetch size of the names, 0: as described
  bool traces_execute;        // prints "after firts execute "
};

struct MicroPathOutputs {
  int* pathid;
  int* link_pos;
  int* len_array;
  char* nfrom_list;
  int* len_nfrom;
  char* nto_list;
  int* len_nto;
  char* last_nfrom;
  int* len_last_nfrom;
  char* last_nto;
  int* len_last_nto;
};

// binds: the block's own, in binding order; :rescode, :resquery, :rcode and
// :cpntid are added by the engine.
int RunMicroPathQuery(const MicroPathQuery& query, std::vector<MicroBind> binds,
                      const MicroPathOutputs& out, char* ErrMess);

}  // namespace ferrule
