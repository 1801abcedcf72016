// Finding placeholders and telling statement kinds apart, without a server.
#include "sql_text.h"

#include <gtest/gtest.h>

using ferrule::oci::parse_statement;
using ferrule::oci::StatementKind;
using Names = std::vector<std::string>;

TEST(PlaceholderScan, SkipsLiteralsQuotedNamesCommentsAndCasts) {
  auto parsed = parse_statement(
      "select ':no', E'it\\'s :no', \"a:no\", x::text, $q$ :no $q$ /* :no /* :no */ */\n"
      "-- :no\n"
      "from t where a = :Yes and arr[lo:hi] = 1");
  EXPECT_EQ(parsed.names, Names{"yes"});
  ASSERT_EQ(parsed.uses.size(), 1u);
  EXPECT_NE(parsed.numbered_text.find("a = $1 and"), std::string::npos);
}

TEST(PlaceholderScan, AssignmentRightAfterAPlaceholder) {
  auto parsed = parse_statement("BEGIN :x:=1; v := :z; END;");
  EXPECT_EQ(parsed.names, (Names{"x", "z"}));
  EXPECT_EQ(ferrule::oci::replace_placeholders(parsed, "b_"), "BEGIN b_x:=1; v := b_z; END;");
}

TEST(PlaceholderScan, NamesNumberedByFirstAppearanceAnyCase) {
  auto parsed = parse_statement("update t set a = :B, b = :a where c = :b");
  EXPECT_EQ(parsed.names, (Names{"b", "a"}));
  EXPECT_EQ(parsed.numbered_text, "update t set a = $1, b = $2 where c = $1");
  EXPECT_EQ(parsed.find_name(":A"), 1u);
  EXPECT_EQ(parsed.find_name("missing"), parsed.names.size());
}

TEST(PlaceholderScan, StatementKinds) {
  EXPECT_EQ(parse_statement("  begin null; end;").kind, StatementKind::kBlock);
  EXPECT_EQ(parse_statement("DECLARE n integer; BEGIN NULL; END;").kind, StatementKind::kBlock);
  EXPECT_EQ(parse_statement("\n SELECT 1").kind, StatementKind::kQuery);
  EXPECT_EQ(parse_statement("with a as (select 1) select * from a").kind, StatementKind::kQuery);
  EXPECT_EQ(parse_statement("(select 1)").kind, StatementKind::kQuery);
  EXPECT_EQ(parse_statement("insert into t values (1)").kind, StatementKind::kDml);
}

TEST(BlockShape, LeavingWordsAndNumberedParametersCountOnlyOutsideLiteralsAndComments) {
  using ferrule::oci::block_shape;
  EXPECT_FALSE(block_shape("BEGIN x := 'return'; y := \"exit\"; -- continue\n"
                           "/* return */ z := $q$ exit $q$; exit_code := 1; END;")
                   .may_leave);
  EXPECT_TRUE(block_shape("BEGIN IF x THEN Return; END IF; END;").may_leave);
  EXPECT_TRUE(block_shape("BEGIN LOOP EXIT; END LOOP; END;").may_leave);
  EXPECT_TRUE(block_shape("BEGIN LOOP CONTINUE WHEN x; END LOOP; END;").may_leave);
  EXPECT_FALSE(block_shape("BEGIN x := '$1' || $t$ $2 $t$; END;").numbered_parameters);
  EXPECT_TRUE(block_shape("BEGIN x := $1; END;").numbered_parameters);
}

TEST(BlockShape, FinalSemicolonIsFoundPastCommentsAndNotInsideThem) {
  using ferrule::oci::block_shape;
  EXPECT_TRUE(block_shape("BEGIN NULL; END;").ends_with_semicolon);
  EXPECT_TRUE(block_shape("BEGIN NULL; END; -- done\n /* really */ ").ends_with_semicolon);
  EXPECT_FALSE(block_shape("BEGIN NULL; END").ends_with_semicolon);
  EXPECT_FALSE(block_shape("BEGIN NULL; END -- done;").ends_with_semicolon);
  EXPECT_FALSE(block_shape("BEGIN NULL; END /* ; */").ends_with_semicolon);
}
