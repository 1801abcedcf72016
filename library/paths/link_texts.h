// The texts of the links that the outputs of the path searches show: the
// port text at each end ("port_nbr|port_type", the type "none" when it has
// none) and link_info ("none" when it has none), each whole as stored.
// A search needs none of them, and a load costs the server about half as
// much without them, so they are read for the links of the paths found
// (or with the rows, when asked) and kept per stored link.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "paths/int_index.h"
#include "paths/query.h"
#include "paths/text_column.h"

namespace ferrule {

// Per stored link (in the order the rows' `stored` column counts them): its
// ids, and its texts once read: the port texts of its stored from and to
// ends and its link_info. Only the texts read take room.
class LinkTexts {
 public:
  std::vector<int> linkid, port_from, port_to;

  std::size_t size() const { return linkid.size(); }
  bool known(std::size_t link) const { return link < entry_.size() && entry_[link] >= 0; }
  void add(std::size_t link, std::string_view from, std::string_view to, std::string_view info);
  // Only for known links.
  std::string_view from(std::size_t link) const { return from_.view(entry_[link]); }
  std::string_view to(std::size_t link) const { return to_.view(entry_[link]); }
  std::string_view info(std::size_t link) const { return info_.view(entry_[link]); }

 private:
  std::vector<int> entry_;  // per stored link: its texts' entry, -1 while unknown
  TextColumn from_, to_, info_;
};

// The aggregates that read texts: of ports, their ids, port_nbr and
// port_type (kPortTextColumns columns); of links, their ids and link_info
// (kLinkInfoColumns columns).
constexpr std::size_t kPortTextColumns = 3, kLinkInfoColumns = 2;
constexpr const char* kPortTexts =
    "string_agg(portid::text,','),array_agg(port_nbr)::text,array_agg(port_type)::text";
constexpr const char* kLinkInfos = "string_agg(linkid::text,','),array_agg(link_info)::text";

// Both as five columns, the ports' then the links'; where_ports and
// where_links (each beginning with " where ") choose the rows. Written
// "select ...,<these> from ...,<the from list>".
constexpr std::size_t kTextColumns = kPortTextColumns + kLinkInfoColumns;
constexpr const char* kTextColumnList = "pt.*,lt.*";
std::string TextFromList(const std::string& where_ports, const std::string& where_links);

// Texts read by port and by link, as the outputs show them.
class TextsRead {
 public:
  // Reads the columns of kPortTexts, of kLinkInfos, or both (the five of
  // kTextColumnList), from column first; false when they are not what the
  // statement makes. Each may be called for several rows.
  bool read_ports(const QueryRow& row, std::size_t first);
  bool read_infos(const QueryRow& row, std::size_t first);
  bool read(const QueryRow& row, std::size_t first) {
    return read_ports(row, first) && read_infos(row, first + kPortTextColumns);
  }
  // Gives the stored links their texts; false, with nothing written, when
  // one of them was not read.
  bool fill(const std::vector<int>& stored, LinkTexts& texts) const;

 private:
  IntIndex port_entry_, info_entry_;  // portid, linkid -> entry below
  TextColumn port_, info_;
};

// The lines a load prints for its first links when it reads their texts.
void PrintFirstTexts(const LinkTexts& texts);

}  // namespace ferrule
