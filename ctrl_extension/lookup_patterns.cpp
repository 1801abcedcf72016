#include "lookup_patterns.h"

#include <algorithm>

#include "call_buffers.h"
#include "ctrl_reasons.h"
#include "ctrl_values.h"

namespace ferrule::ctrl {

int CallForStatus(int errmess_size, TextVar* errmess_arg, const StatusCall& call) {
  ErrMessBuffer err(errmess_size);
  const int result = call(err.data());
  errmess_arg->setValue(err.Text().c_str());
  return result;
}

std::string RowWithRetry(const RowShape& shape, const TextCall& call) {
  ErrMessBuffer err(shape.errmess_size);
  TextBuffer row(shape.capacity);
  const int result = CallAtMostTwice(
      [&] { return call(row.length(), row.data(), err.data()); },
      [&](int first) { return first != 0 && !row.HoldsNoRows() && row.Grew(); },
      [&] { row.Regrow(); });
  if (result != 0 && !row.HoldsNoRows()) return err.Text();
  return row.Text();
}

std::string TextFromOneCall(int capacity, int errmess_size, NoRowsText no_rows,
                            const FixedTextCall& call) {
  ErrMessBuffer err(errmess_size);
  TextBuffer text(capacity);
  const int result = call(text.data(), err.data());
  if (no_rows == NoRowsText::Answer) {
    // A library that found nothing may leave the buffer unwritten and say
    // so in ErrMess only: the answer is then the marker, not an empty text.
    if (result == 0 && text.Text().empty() && err.Mentions(reason::kNoRowsSelected))
      return reason::kNoRowsSelected;
    if (text.HoldsNoRows()) return text.Text();
  }
  return result == 0 ? text.Text() : err.Text();
}

ListAnswer FetchPackedList(int capacity, int errmess_size, const TextCall& call) {
  ErrMessBuffer err(errmess_size);
  TextBuffer list(capacity);
  ListAnswer answer;
  answer.result = CallAtMostTwice(
      [&] { return call(list.length(), list.data(), err.data()); },
      [&](int first) { return first != 0 && !list.HoldsNoRows() && list.Grew(); },
      [&] { list.Regrow(); });
  answer.err = err.Text();
  // A library that found nothing writes its word alone into the list and
  // fails or says so in ErrMess; a list it answered with success holds
  // items, even the one item "NO_ROWS_SELECTED" (a device of that name).
  const bool succeeded = answer.result == 0 && !err.Mentions(reason::kNoRowsSelected);
  if (list.HoldsNoRows() && !succeeded) {
    answer.outcome = ListAnswer::NoRows;
    answer.no_rows_text = list.Text();
  } else if (answer.result == 0) {
    answer.outcome = ListAnswer::Items;
    answer.items = list.AllItems();
  }
  return answer;
}

void FillTextList(DynVar& list, const ListAnswer& answer, NoRowsMarker marker) {
  switch (answer.outcome) {
    case ListAnswer::Items:
      for (const std::string& item : answer.items) AppendText(list, item);
      break;
    case ListAnswer::NoRows:
      if (marker == NoRowsMarker::BufferText) {
        AppendText(list, answer.no_rows_text);
      } else {
        AppendText(list, reason::kNoRowsSelected);
        AppendText(list, reason::kNoRowsSelected);
      }
      break;
    case ListAnswer::Failed:
      AppendText(list, answer.err);
      AppendText(list, answer.err);
      break;
  }
}

void FillTextListFromCall(DynVar& list, int capacity, int errmess_size, NoRowsMarker marker,
                          const TextCall& call) {
  list.clear();
  FillTextList(list, FetchPackedList(capacity, errmess_size, call), marker);
}

int FillTextListForStatus(DynVar& list, int capacity, int errmess_size, bool no_rows_in_errmess,
                          TextVar* errmess_arg, const TextCall& call) {
  list.clear();
  const ListAnswer answer = FetchPackedList(capacity, errmess_size, call);
  if (answer.result != 0) {
    AppendText(list, answer.err);
    AppendText(list, answer.err);
  } else if (no_rows_in_errmess &&
             answer.err.find(reason::kNoRowsSelected) != std::string::npos) {
    AppendText(list, reason::kNoRowsSelected);
    AppendText(list, reason::kNoRowsSelected);
  } else {
    for (const std::string& item : answer.items) AppendText(list, item);
  }
  errmess_arg->setValue(answer.err.c_str());
  return answer.result;
}

namespace {

// The library answers for at most this many subsystems, each name of at
// most 9 characters, of at most 4 bytes each in any client encoding, and
// its NUL.
constexpr int kMostSubsystems = 49;
constexpr int kSubsystemNameSize = 9 * 4 + 1;
// The count handed beside the status array (the library reads none) and the
// most names taken from its answer.
constexpr int kSubsystemCountLimit = 1000;
constexpr int kBusyErrMessSize = 1000;

}  // namespace

int FillBusySubsystems(DynVar& names, DynVar& statuses, const BusyCall& call) {
  statuses.clear();
  const std::vector<std::string> asked = TextsOf(&names);
  const std::string joined = JoinQuoted(asked);
  const int most = std::max(static_cast<int>(asked.size()), kMostSubsystems);
  TextBuffer busy(std::max(static_cast<int>(joined.size()), most * kSubsystemNameSize));
  std::vector<int> active(most, 0);
  int count_limit = kSubsystemCountLimit;
  ErrMessBuffer err(kBusyErrMessSize);

  const int result =
      call(busy.length(), joined.c_str(), busy.data(), &count_limit, active.data(), err.data());
  if (result != 0 && !err.Mentions(reason::kNoRowsSelected)) {
    AppendText(names, err.Text());
    AppendText(names, err.Text());
    return -1;
  }
  if (err.Mentions(reason::kNoRowsSelected)) {
    AppendText(names, reason::kNoRowsSelected);
    AppendText(names, reason::kNoRowsSelected);
    return 0;
  }
  names.clear();
  PackedReader reader = busy.Items();
  for (int i = 0; !reader.AtEnd() && i < kSubsystemCountLimit && i < most; ++i) {
    AppendText(names, reader.Next());
    AppendInt(statuses, active[i]);
  }
  return 0;
}

IntListAnswer FetchIntList(int capacity, int errmess_size, const IntsCall& call) {
  ErrMessBuffer err(errmess_size);
  IntBuffer ints(capacity);
  IntListAnswer answer;
  answer.result = CallAtMostTwice(
      [&] { return call(ints.length(), ints.data(), err.data()); },
      [&](int first) { return first != 0 && !ints.HoldsNoRowsPair() && ints.Grew(); },
      [&] { ints.Regrow(); });
  answer.err = err.Text();
  if (ints.HoldsNoRowsPair()) {
    answer.outcome = IntListAnswer::NoRows;
  } else if (answer.result == 0) {
    answer.outcome = IntListAnswer::Values;
    answer.values = ints.Values();
  }
  return answer;
}

void FillIntList(DynVar& list, const IntListAnswer& answer) {
  switch (answer.outcome) {
    case IntListAnswer::Values:
      for (int value : answer.values) AppendInt(list, value);
      break;
    case IntListAnswer::NoRows:
      AppendInt(list, -1);
      AppendInt(list, -1);
      break;
    case IntListAnswer::Failed:
      AppendInt(list, answer.result);
      break;
  }
}

}  // namespace ferrule::ctrl
