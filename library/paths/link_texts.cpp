#include "paths/link_texts.h"

#include <algorithm>

#include "diagnostics.h"
#include "paths/whole_columns.h"

namespace ferrule {

namespace {

enum PortTextOffset { kPortIds, kPortNbrs, kPortTypes };
enum LinkInfoOffset { kLinkIds, kLinkInfo };

// The database this library was made for stores an empty text as NULL.
bool IsNone(std::string_view value, bool is_null) { return is_null || value.empty(); }

}  // namespace

void LinkTexts::add(std::size_t link, std::string_view from, std::string_view to,
                    std::string_view info) {
  if (entry_.size() < linkid.size()) entry_.resize(linkid.size(), -1);
  entry_[link] = static_cast<int>(from_.size());
  from_.push(from);
  to_.push(to);
  info_.push(info);
}

std::string TextFromList(const std::string& where_ports, const std::string& where_links) {
  return std::string("(select ") + kPortTexts + " from %(port_properties)" + where_ports +
         ") pt,(select " + kLinkInfos + " from %(macro_connectivity)" + where_links + ") lt";
}

bool TextsRead::read_ports(const QueryRow& row, std::size_t first) {
  std::string port;
  const std::string_view port_columns[] = {row.value(first + kPortNbrs),
                                           row.value(first + kPortTypes)};
  return ReadParallel(row.value(first + kPortIds), port_columns,
                      [&](int portid, const std::string_view* value, const bool* is_null) {
                        port.assign(is_null[0] ? std::string_view() : value[0]);
                        port += '|';
                        port += IsNone(value[1], is_null[1]) ? "none" : value[1];
                        port_entry_.add(portid, static_cast<int>(port_.size()));
                        port_.push(port);
                      });
}

bool TextsRead::read_infos(const QueryRow& row, std::size_t first) {
  const std::string_view link_columns[] = {row.value(first + kLinkInfo)};
  return ReadParallel(row.value(first + kLinkIds), link_columns,
                      [&](int linkid, const std::string_view* value, const bool* is_null) {
                        info_entry_.add(linkid, static_cast<int>(info_.size()));
                        info_.push(IsNone(value[0], is_null[0]) ? "none" : value[0]);
                      });
}

bool TextsRead::fill(const std::vector<int>& stored, LinkTexts& texts) const {
  struct Found {
    int from, to, info;
  };
  std::vector<Found> found(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const int s = stored[i];
    if (!port_entry_.find(texts.port_from[s], found[i].from) ||
        !port_entry_.find(texts.port_to[s], found[i].to) ||
        !info_entry_.find(texts.linkid[s], found[i].info))
      return false;
  }
  for (std::size_t i = 0; i < stored.size(); ++i)
    texts.add(stored[i], port_.view(found[i].from), port_.view(found[i].to),
              info_.view(found[i].info));
  return true;
}

void PrintFirstTexts(const LinkTexts& texts) {
  std::size_t longest_info = 0;
  for (std::size_t s = 0; s < texts.size() && s < 5; ++s) {
    longest_info = std::max(longest_info, texts.info(s).size() + 1);
    PrintLine("max_lkinfo_len =%zu", longest_info);
    if (s == 0) {
      PrintLine("before copy line by line port_nbrfrom=%s", texts.from(s).data());
      PrintLine("after copy line by line lkinfo_temp=%s", texts.info(s).data());
    }
  }
}

}  // namespace ferrule
