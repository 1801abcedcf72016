// Several outputs filled by one library call, played by the tests: when the
// second call is made, with which sizes, and that the lists stay in step.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ctrl_values.h"
#include "output_lists.h"

namespace ferrule::ctrl {
namespace {

std::vector<std::string> Texts(DynVar& list) {
  std::vector<std::string> texts;
  for (Variable* v = list.getFirstVar(); v; v = list.getNextVar()) {
    texts.push_back(v->isA() == kTextVariable
                        ? static_cast<TextVar*>(v)->getValue()
                        : std::to_string(static_cast<IntegerVar*>(v)->getValue()));
  }
  return texts;
}

// Plays a library whose fit test is strict (the capacity must exceed the
// need) and which, like the routing read, writes back the exact total of a
// list that fitted and the total plus one of a list that did not.
struct StrictLibrary {
  std::string names, ports;  // packed
  std::vector<std::vector<int>> capacities;

  int operator()(int* len_names, char* names_out, int* len_ports, char* ports_out, char* err) {
    capacities.push_back({*len_names, *len_ports});
    const int need_names = static_cast<int>(names.size());
    const int need_ports = static_cast<int>(ports.size());
    const bool names_fit = need_names < *len_names, ports_fit = need_ports < *len_ports;
    if (names_fit) std::memcpy(names_out, names.data(), names.size());
    if (ports_fit) std::memcpy(ports_out, ports.data(), ports.size());
    *len_names = names_fit ? need_names : need_names + 1;
    *len_ports = ports_fit ? need_ports : need_ports + 1;
    if (names_fit && ports_fit) {
      std::strcpy(err, "NO_ERROR in LoadRoutingtable");
      return 0;
    }
    std::strcpy(err, "ERROR in LoadRoutingtable : BUFFER_TOO_SMALL");
    return -1;
  }
};

TEST(OutputLists, SecondCallKeepsTheFirstSizeOfAListThatFitted) {
  StrictLibrary library{PackTexts({"dest-a", std::string(30, 'd')}), PackTexts({"1", "2"}), {}};
  DynVar names(kAnyVariable), ports(kAnyVariable);
  names.append(TextVar("left from before"));
  OutputLists outputs;
  TextBuffer& name_buffer = outputs.Text(20, &names);
  TextBuffer& port_buffer = outputs.Text(20, &ports);
  const ListCallAnswer answer = FillListsFromCall(
      outputs, RetryWhen::Shortfall,
      [&](char* err) {
        return library(name_buffer.length(), name_buffer.data(), port_buffer.length(),
                       port_buffer.data(), err);
      },
      [&] { return static_cast<int>(name_buffer.AllItems().size()); });

  EXPECT_EQ(answer.result, 0) << answer.err;
  // The ports fitted at 20 and came back as their total of 4: the second
  // call still offers 20, not 4, which would fail again.
  EXPECT_EQ(library.capacities, (std::vector<std::vector<int>>{{20, 20}, {39, 20}}));
  EXPECT_EQ(Texts(names), (std::vector<std::string>{"dest-a", std::string(30, 'd')}));
  EXPECT_EQ(Texts(ports), (std::vector<std::string>{"1", "2"}));
}

TEST(OutputLists, FailuresAndShortRowsGiveOneElementPerList) {
  DynVar texts(kAnyVariable), ways(kAnyVariable), ids(kAnyVariable);
  OutputLists outputs;
  TextBuffer& text = outputs.Text(100, &texts);
  IntBuffer& ints = outputs.Ints(10, {&ways, &ids});
  int calls = 0;
  // The shortfall is told by sizes only (ErrMess reads NO_ERROR): a retry
  // only when sizes are compared.
  auto shortfall = [&](char* err) {
    ++calls;
    *ints.length() = 11;
    std::strcpy(err, "NO_ERROR in GetMicroConnectFromPortid");
    return -1;
  };
  const ListCallAnswer once = FillListsFromCall(outputs, RetryWhen::Shortfall, shortfall,
                                                [] { return 0; });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Texts(texts), (std::vector<std::string>{once.err}));
  EXPECT_EQ(Texts(ways), (std::vector<std::string>{"-1"}));
  EXPECT_EQ(Texts(ids), (std::vector<std::string>{"-1"}));

  // Rows read in step: the integer arrays hold three rows, the texts two.
  auto success = [&](char* err) {
    ++calls;
    const std::string packed = PackTexts({"a", "b"});
    std::memcpy(text.data(), packed.data(), packed.size());
    *text.length() = static_cast<int>(packed.size());
    for (int i = 0; i < 3; ++i) ints.data(0)[i] = ints.data(1)[i] = i + 1;
    *ints.length() = 3;
    std::strcpy(err, "NO_ERROR in F");
    return 0;
  };
  const ListCallAnswer found = FillListsFromCall(outputs, RetryWhen::SizeGrew, success,
                                                 [&] { return ints.Count(); });
  EXPECT_EQ(found.result, 0);
  EXPECT_EQ(Texts(texts), (std::vector<std::string>{"a", "b", ""})) << "the list was cleared";
  EXPECT_EQ(Texts(ids), (std::vector<std::string>{"1", "2", "3"}));
}

}  // namespace
}  // namespace ferrule::ctrl
