// Why a single link between devices was not inserted: the part of it that
// is not recorded (its from port, its to port, its link type), or, when
// every part is, the subsystems the two devices do not share. Each refusal
// still commits and leaves no transaction behind.
#include <cstring>
#include <string>

#include "insert_fixture.h"
#include "library_transaction.h"

namespace {

constexpr const char* kRefused = "ERROR in InsertMacroLink : COULDNOT_INSERT_THIS_ROWS: ";

class MacroLinkReasonsTest : public InsertTest {
 protected:
  // a (DAQ,TFC) and b (DAQ,ECS) share DAQ, c (TFC) shares nothing with b;
  // each has an output port "out" and an input port "in", a has an output
  // port "eo" of type eth too. The link type "data".
  void SetUp() override {
    InsertTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    testdb::exec(
        "insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");
    for (const auto& [name, subsystems] :
         {std::pair{"a", "DAQ,TFC"}, {"b", "DAQ,ECS"}, {"c", "TFC"}}) {
      AddDevice(name, subsystems);
      AddPort(name, "out", 2);
      AddPort(name, "in", 1);
    }
    AddPort("a", "eo", 2, "eth");
  }

  // The reason after "COULDNOT_INSERT_THIS_ROWS: ", or the whole ErrMess
  // text when it is not that refusal; nothing inserted is checked too.
  std::string Refusal(const char* from, const char* to, const char* port_from,
                      const char* port_to, const char* type_from = nullptr,
                      const char* type_to = nullptr, const char* link_type = "data") {
    const int links = Count("vexa_macroscopic_connectivity");
    const int rc = Quiet([&] {
      return InsertMacroLink(from, to, port_from, port_to, type_from, type_to, link_type,
                             nullptr, 0, 0, err_);
    });
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(Count("vexa_macroscopic_connectivity"), links);
    const testdb::SessionTransaction after = testdb::TransactionOf(testdb::LibraryBackend());
    EXPECT_TRUE(after.outside_any()) << after;
    const std::string text = Err();
    return text.rfind(kRefused, 0) == 0 ? text.substr(std::strlen(kRefused)) : text;
  }
};

TEST_F(MacroLinkReasonsTest, APortThatIsNotFoundIsNamedWithItsDevice) {
  EXPECT_EQ(Refusal("a", "b", "o9", "in"),
            "FROM PORT NOT FOUND: device a, port o9, type none, way 2");
  EXPECT_EQ(Refusal("a", "b", "out", "i9"),
            "TO PORT NOT FOUND: device b, port i9, type none, way 1");
  // A port of the other way, or of another type, is not the port asked for.
  EXPECT_EQ(Refusal("a", "b", "in", "in"),
            "FROM PORT NOT FOUND: device a, port in, type none, way 2");
  EXPECT_EQ(Refusal("a", "b", "out", "out"),
            "TO PORT NOT FOUND: device b, port out, type none, way 1");
  EXPECT_EQ(Refusal("a", "b", "eo", "in", "gbe"),
            "FROM PORT NOT FOUND: device a, port eo, type gbe, way 2");
  EXPECT_EQ(Refusal("a", "b", "out", "in", nullptr, "eth"),
            "TO PORT NOT FOUND: device b, port in, type eth, way 1");
  // A device that is not recorded has no port; the from end is named first.
  EXPECT_EQ(Refusal("ghost", "b", "out", "in"),
            "FROM PORT NOT FOUND: device ghost, port out, type none, way 2");
  EXPECT_EQ(Refusal("a", "ghost", "out", "in"),
            "TO PORT NOT FOUND: device ghost, port in, type none, way 1");
  EXPECT_EQ(Refusal("ghost", "ghost", "out", "in"),
            "FROM PORT NOT FOUND: device ghost, port out, type none, way 2");
  EXPECT_EQ(Refusal(nullptr, "b", nullptr, "in"),
            "FROM PORT NOT FOUND: device NULL, port NULL, type none, way 2");
}

TEST_F(MacroLinkReasonsTest, ALinkTypeNotFoundIsNamedAndSubsystemsOnlyWhenTheyAreWhy) {
  EXPECT_EQ(Refusal("a", "b", "out", "in", nullptr, nullptr, "nosuchtype"),
            "LINK TYPE NOT FOUND: nosuchtype");
  // Every part recorded: the two devices share no subsystem.
  EXPECT_EQ(Refusal("b", "c", "out", "in"), "CHECK SYSTEM COMPATIBILITY");
  // The ports are named before the link type.
  EXPECT_EQ(Refusal("b", "c", "out", "i9", nullptr, nullptr, "nosuchtype"),
            "TO PORT NOT FOUND: device c, port i9, type none, way 1");

  // The ports were there all along: the same parts link a and b.
  ASSERT_EQ(Quiet([&] {
              return InsertMacroLink("a", "b", "eo", "in", "eth", nullptr, "data", nullptr, 0, 0,
                                     err_);
            }), 0) << Err();
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 1);
}

TEST_F(MacroLinkReasonsTest, ARefusalStillCommitsWhatEarlierCallsLeftOpen) {
  // A by-type update sent with last_rows 0 waits in the transaction.
  ASSERT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 0, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_devices", "active = 1"), 0);
  EXPECT_EQ(Refusal("a", "b", "o9", "in"),
            "FROM PORT NOT FOUND: device a, port o9, type none, way 2");
  EXPECT_EQ(Count("vexa_lg_devices", "active = 1"), 3);
}

}  // namespace
