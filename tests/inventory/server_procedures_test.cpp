// The inventory's server procedures answer through their result and never
// raise: -1 for missing arguments and for errors, 0 when done.
#include "inventory_fixture.h"

using ServerProceduresTest = InventoryTest;

TEST_F(ServerProceduresTest, FailuresAreResultsThatNoBlockCodeUses) {
  Device("sw1", "SN1");
  const std::string before = Snapshot();
  const std::string update = "select vexa_configuration_dev.UpdateBoardCpnt(";
  const std::string test_use = "select vexa_configuration_dev.TestUseBoardCpnt(";
  EXPECT_EQ(Value(update + "NULL,'lab',5,'26/01/01','u','c','h')"), "-1");
  EXPECT_EQ(Value(update + "1,'lab',5,'26/13/01','u','c','h')"), "-1");
  EXPECT_EQ(Value(update + "1,'lab',5,'26/01/01','u','c','h','SP1',NULL)"), "-1");
  EXPECT_EQ(Value(test_use + "1,NULL,'26/01/01','u','c','h')"), "-1");
  EXPECT_EQ(Value(test_use + "1,3,'not a date','u','c','h')"), "-1");
  // A device without components has nothing to move.
  EXPECT_EQ(Value(update + "(select deviceid from vexa_lg_devices where devicename='sw1'),"
                           "'lab',5,'26/01/01','u','c','h')"), "0");
  EXPECT_EQ(Snapshot(), before);
}
