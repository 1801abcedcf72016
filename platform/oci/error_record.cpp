#include "error_record.h"

#include <cctype>
#include <cstring>
#include <string_view>

namespace ferrule::oci {
namespace {

struct SqlstateNumber {
  const char* sqlstate;
  int number;
};

constexpr SqlstateNumber kSqlstateNumbers[] = {
    {"23505", error_number::kUniqueViolation},
    {"23502", 1400},
    {"23503", 2291},
    {"22001", 12899},
    {"22003", 1438},
    {"22P02", 1722},
    {"22007", 1861},
    {"22008", 1861},
    {"22012", 1476},
    {"42P01", 942},
    {"42703", 904},
    {"42601", 900},
    {"40P01", 60},
    {"57014", 1013},
    {"28P01", error_number::kInvalidPassword},
};

// PostgreSQL reports the violation from the side of the referenced table
// as "update or delete on table ... violates foreign key constraint".
constexpr std::string_view kParentSideViolation = "update or delete on table";

// libpq's client-side messages may span several lines; the first says it.
std::string first_line(const char* text) {
  if (!text) return {};
  std::string_view view(text);
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.front())))
    view.remove_prefix(1);
  view = view.substr(0, view.find('\n'));
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.back())))
    view.remove_suffix(1);
  return std::string(view);
}

bool looks_like_sqlstate(std::string_view s) {
  if (s.size() < 5) return false;
  for (size_t i = 0; i < 5; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!std::isdigit(c) && !std::isupper(c)) return false;
  }
  return true;
}

}  // namespace

int number_for_sqlstate(const char* sqlstate, const char* primary_message) {
  if (!sqlstate || std::strlen(sqlstate) != 5) return error_number::kOther;
  if (std::strcmp(sqlstate, "23503") == 0 && primary_message &&
      std::string_view(primary_message).substr(0, kParentSideViolation.size()) ==
          kParentSideViolation)
    return 2292;
  for (const auto& entry : kSqlstateNumbers)
    if (std::strcmp(sqlstate, entry.sqlstate) == 0) return entry.number;
  if (std::strncmp(sqlstate, "08", 2) == 0) return error_number::kNotConnectedToDatabase;
  return error_number::kOther;
}

void record_result_error(ErrorRecord& record, const PGresult* result,
                         const PGconn* conn) {
  if (conn && PQstatus(conn) == CONNECTION_BAD) {
    std::string text = first_line(PQerrorMessage(conn));
    if (text.empty()) text = "not connected to the database";
    record.set(error_number::kNotConnectedToDatabase, std::move(text));
    return;
  }
  const char* sqlstate = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  std::string text = primary ? std::string(primary)
                     : result ? first_line(PQresultErrorMessage(result))
                              : std::string();
  if (text.empty() && conn) text = first_line(PQerrorMessage(conn));
  record.set(number_for_sqlstate(sqlstate, primary), std::move(text),
             conn ? PQclientEncoding(conn) : kUnknownEncoding);
}

void record_call_timeout(ErrorRecord& record, std::chrono::milliseconds limit) {
  record.set(error_number::kCallTimedOut, "call timed out: no answer from the server within " +
                                              std::to_string(limit.count()) + " ms");
}

void record_connect_error(ErrorRecord& record, const char* verbose_message) {
  std::string_view message(verbose_message ? verbose_message : "");
  for (std::string_view severity : {"FATAL:  ", "ERROR:  "}) {
    for (size_t at = message.find(severity); at != std::string_view::npos;
         at = message.find(severity, at + 1)) {
      std::string_view rest = message.substr(at + severity.size());
      if (!looks_like_sqlstate(rest) || rest.substr(5, 2) != ": ") continue;
      std::string sqlstate(rest.substr(0, 5));
      std::string primary = first_line(std::string(rest.substr(7)).c_str());
      record.set(number_for_sqlstate(sqlstate.c_str(), primary.c_str()), std::move(primary));
      return;
    }
  }
  // No server answer at all (refused, unknown host...): a connection failure.
  std::string text = first_line(verbose_message);
  constexpr std::string_view kFailedPrefix = "failed: ";
  if (auto at = text.find(kFailedPrefix); at != std::string::npos)
    text.erase(0, at + kFailedPrefix.size());
  if (text.empty()) text = "could not connect to the database";
  record.set(error_number::kNotConnectedToDatabase, std::move(text));
}

}  // namespace ferrule::oci
