// The statements behind the ConnectivityCache (connectivity_load.h): the
// version read, the load and the read of the texts of some links; and the
// reading of a load's rows into a ConnectivityBuilder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "paths/connectivity_filter.h"
#include "paths/connectivity_rows.h"
#include "paths/link_texts.h"
#include "paths/query.h"

namespace ferrule {

// Binds :dfrom and :dto when the filter is by devices.
std::vector<QueryBind> DeviceBinds(const ConnectivityFilter& filter);

// "select <stamp>,<own writes>,<the devices' subsystem sets>", each a text:
// the database and version of the connectivity (null when the database
// holds no version), '1' when this session holds writes it has not
// committed (else '0'), and by devices the subsystem sets of the devices
// :dfrom and :dto (kDeviceSets), '' otherwise.
std::string VersionStatement(const ConnectivityFilter& filter);

// The load, in one statement so in one snapshot: its first row the stamp,
// the devices' subsystem sets and the own writes as VersionStatement gives
// them; every other row one chunk of a column of a table (whole_columns.h),
// its kind first. Rows of kLoadColumns texts, read by LoadRows.
constexpr std::size_t kLoadColumns = 1 + kPortTextColumns;
std::string LoadStatement(const ConnectivityFilter& filter, bool with_texts);

// "select <stamp>,<kTextColumnList>" for the ports whose ids :ports lists
// and the links whose ids :links lists (each as the text of an int array).
enum TextReadColumn { kReadStamp, kReadTexts };
std::string TextReadStatement();

// What the rows of a load bring, read row by row into the builder.
class LoadRows {
 public:
  explicit LoadRows(ConnectivityBuilder& builder) : builder_(builder) {}

  std::string stamp, device_sets;
  bool own_writes = true;
  TextsRead texts;
  // False once a row was not what the statement makes.
  bool readable = true;

  void read(const QueryRow& row);

 private:
  // Hands on_entry each entry of fields numbers of a list.
  template <class OnEntry>
  bool read_entries(std::string_view list, std::size_t fields, OnEntry&& on_entry);
  bool read_devices(const QueryRow& row);

  ConnectivityBuilder& builder_;
  std::vector<int> numbers_;  // of one row, reused
};

}  // namespace ferrule
