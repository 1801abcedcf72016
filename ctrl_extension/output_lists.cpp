#include "output_lists.h"

#include "ctrl_values.h"

namespace ferrule::ctrl {
namespace {

// The ErrMess buffer of every wrapper with several outputs.
constexpr int kErrMessSize = 1000;

}  // namespace

TextBuffer& OutputLists::Text(int capacity, DynVar* list) {
  texts_.push_back(std::make_unique<TextOutput>(TextOutput{TextBuffer(capacity), list}));
  return texts_.back()->buffer;
}

IntBuffer& OutputLists::Ints(int capacity, std::initializer_list<DynVar*> lists) {
  int_lists_.assign(lists);
  ints_ = std::make_unique<IntBuffer>(capacity, static_cast<int>(int_lists_.size()));
  return *ints_;
}

void OutputLists::ClearLists() {
  for (const auto& text : texts_) {
    if (text->list) text->list->clear();
  }
  for (DynVar* list : int_lists_) {
    if (list) list->clear();
  }
}

bool OutputLists::AnyGrew() const {
  for (const auto& text : texts_) {
    if (text->buffer.Grew()) return true;
  }
  return ints_ && ints_->Grew();
}

void OutputLists::RegrowAll() {
  for (const auto& text : texts_) text->buffer.Regrow();
  if (ints_) ints_->Regrow();
}

void OutputLists::AppendRows(int rows) {
  for (const auto& text : texts_) {
    if (!text->list) continue;
    PackedReader items = text->buffer.Items();
    for (int row = 0; row < rows; ++row) AppendText(*text->list, items.Next());
  }
  for (std::size_t array = 0; array < int_lists_.size(); ++array) {
    if (!int_lists_[array]) continue;
    for (int row = 0; row < rows; ++row) {
      AppendInt(*int_lists_[array], ints_->At(static_cast<int>(array), row));
    }
  }
}

void OutputLists::AppendFailure(const std::string& err) {
  for (const auto& text : texts_) {
    if (text->list) AppendText(*text->list, err);
  }
  for (DynVar* list : int_lists_) {
    if (list) AppendInt(*list, -1);
  }
}

ListCallAnswer FillListsFromCall(OutputLists& outputs, RetryWhen retry,
                                 const std::function<int(char* err)>& call,
                                 const std::function<int()>& rows) {
  outputs.ClearLists();
  ErrMessBuffer err(kErrMessSize);
  const int result = CallAtMostTwice(
      [&] { return call(err.data()); },
      [&](int first) {
        if (first == 0) return false;
        return retry == RetryWhen::Shortfall ? err.ReportsShortfall() : outputs.AnyGrew();
      },
      [&] { outputs.RegrowAll(); });
  if (result == 0) {
    outputs.AppendRows(rows());
  } else {
    outputs.AppendFailure(err.Text());
  }
  return {result, err.Text()};
}

}  // namespace ferrule::ctrl
