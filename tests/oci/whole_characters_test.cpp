// The cut that keeps whole characters, and the texts of the database cut
// with it to fit a caller's buffer: fetched values, a block's outputs and
// the error message, in the encoding of the connection.
#include <libpq-fe.h>

#include "oci_session.h"
#include "utf8_text.h"
#include "whole_characters.h"

namespace {

using ferrule::oci::whole_character_prefix;
using testutf8::IsWellFormed;
using testutf8::Repeated;

// "a", then characters of two, three and four bytes: the boundaries are
// after bytes 1, 3, 6 and 10, and each bound keeps the text up to the last
// of them it reaches.
TEST(WholeCharacterPrefix, EndsOnTheLastBoundaryWithinTheBound) {
  const std::string text = "aé€😀";
  const size_t kept[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10};
  for (int encoding : {pg_char_to_encoding("UTF8"), ferrule::oci::kUnknownEncoding})
    for (size_t max = 0; max <= text.size(); ++max)
      EXPECT_EQ(whole_character_prefix(text, max, encoding), kept[max]) << max << " " << encoding;
  EXPECT_EQ(whole_character_prefix(text, 64, pg_char_to_encoding("UTF8")), text.size());
}

TEST(WholeCharacterPrefix, EveryByteIsACharacterOfASingleByteEncoding) {
  const std::string text = "\xC3\xA9\xC3\xA9";  // four characters in LATIN1
  for (size_t max = 0; max <= text.size(); ++max)
    EXPECT_EQ(whole_character_prefix(text, max, pg_char_to_encoding("LATIN1")), max);
}

// A bound in characters: "aé€😀" has its boundaries after bytes 1, 3, 6
// and 10; a lead byte without its continuation counts as what is left.
TEST(CharacterPrefix, KeepsTheFirstCharactersOfTheEncoding) {
  using ferrule::oci::character_prefix;
  const int utf8 = pg_char_to_encoding("UTF8");
  const std::string text = "aé€😀";
  const size_t kept[] = {0, 1, 3, 6, 10, 10};
  for (int encoding : {utf8, ferrule::oci::kUnknownEncoding})
    for (size_t characters = 0; characters < 6; ++characters)
      EXPECT_EQ(character_prefix(text, characters, encoding), kept[characters]) << characters;
  EXPECT_EQ(character_prefix("ab\xC3", 3, utf8), 3u);
  EXPECT_EQ(character_prefix("ab\xF0\x9F", 3, utf8), 4u);
  EXPECT_EQ(character_prefix("\xC3\xA9\xC3\xA9", 3, pg_char_to_encoding("LATIN1")), 3u);
  // U+30A2 in SJIS is 0x83 0x41: its second byte is an ASCII "A".
  EXPECT_EQ(character_prefix(Repeated("\x83\x41", 3), 2, pg_char_to_encoding("SJIS")), 4u);
}

class OciWholeCharacters : public OciTest {
 protected:
  void define(OCIStmt* stmt, ub4 position, char* buffer, sb4 size, ub2 type, sb2* indicator,
              ub2* length) {
    OCIDefine* handle = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &handle, db.err, position, buffer, size, type, indicator,
                             length, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
  }
};

// Each buffer ends inside a character of two, three and four bytes; a cut
// value is still reported as cut, with its full length.
TEST_F(OciWholeCharacters, FetchedValuesEndBeforeTheCharacterThatDoesNotFit) {
  OCIStmt* stmt = prepare("select repeat('é', 10), repeat('€', 10), repeat('😀', 10), 'ab€'");
  char two[8], three[8], four[8], fixed[4];
  sb2 indicators[4] = {};
  ub2 lengths[4] = {};
  define(stmt, 1, two, sizeof two, SQLT_STR, &indicators[0], &lengths[0]);
  define(stmt, 2, three, sizeof three, SQLT_STR, &indicators[1], &lengths[1]);
  define(stmt, 3, four, sizeof four, SQLT_STR, &indicators[2], &lengths[2]);
  define(stmt, 4, fixed, sizeof fixed, SQLT_CHR, &indicators[3], &lengths[3]);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS) << error_text();

  EXPECT_EQ(fetch(stmt), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(error_number(), 1406);
  EXPECT_STREQ(two, "ééé");
  EXPECT_STREQ(three, "€€");
  EXPECT_STREQ(four, "😀");
  // Without a terminator the caller reads every byte: blanks after the cut.
  EXPECT_EQ(std::string(fixed, sizeof fixed), "ab  ");
  const sb2 full[] = {20, 30, 40, 5};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(indicators[i], full[i]) << i;
    EXPECT_EQ(lengths[i], full[i]) << i;
  }
}

TEST_F(OciWholeCharacters, ABlockOutputEndsBeforeTheCharacterThatDoesNotFit) {
  OCIStmt* stmt = prepare("BEGIN :out := repeat('é', 10); END;");
  char out[8] = "";
  sb2 indicator = 0;
  bind_text(stmt, "out", out, sizeof out, &indicator);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  EXPECT_STREQ(out, "ééé");
  EXPECT_EQ(indicator, 20);
}

TEST_F(OciWholeCharacters, TheErrorMessageEndsBeforeTheCharacterThatDoesNotFit) {
  EXPECT_EQ(run("DO $$ BEGIN RAISE EXCEPTION '%', repeat('é', 300); END $$"), OCI_ERROR);
  OraText text[200];
  sb4 code = 0;
  ASSERT_EQ(OCIErrorGet(db.err, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR),
            OCI_SUCCESS);
  const std::string message = reinterpret_cast<char*>(text);
  EXPECT_TRUE(IsWellFormed(message));
  EXPECT_EQ(message, Repeated("é", 99)) << "99 of them fill 198 of the 199 bytes";
  EXPECT_EQ(code, 20000);
}

// In SJIS the second byte of U+30A2 (0x83 0x41) is an ASCII "A": only the
// connection's encoding tells where its characters end.
TEST_F(OciWholeCharacters, CutsFollowTheEncodingOfTheConnection) {
  ASSERT_EQ(run("SET client_encoding = 'SJIS'"), OCI_SUCCESS) << error_text();
  ASSERT_EQ(commit(), OCI_SUCCESS);
  ub4 encoding = 0;
  ASSERT_EQ(OCIAttrGet(db.session, OCI_HTYPE_SESSION, &encoding, nullptr, OCI_ATTR_CHARSET_ID,
                       db.err),
            OCI_SUCCESS);
  EXPECT_EQ(static_cast<int>(encoding), pg_char_to_encoding("SJIS"));
  const std::string three = Repeated("\x83\x41", 3);

  OCIStmt* stmt = prepare("select repeat(chr(12450), 10)");
  char value[8];
  sb2 indicator = 0;
  define(stmt, 1, value, sizeof value, SQLT_STR, &indicator, nullptr);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS) << error_text();
  EXPECT_EQ(fetch(stmt), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(value, three);
  EXPECT_EQ(indicator, 20);

  EXPECT_EQ(run("DO $$ BEGIN RAISE EXCEPTION '%', repeat(chr(12450), 10); END $$"), OCI_ERROR);
  OraText text[8];
  ASSERT_EQ(OCIErrorGet(db.err, 1, nullptr, nullptr, text, sizeof text, OCI_HTYPE_ERROR),
            OCI_SUCCESS);
  EXPECT_EQ(reinterpret_cast<char*>(text), three);

  OCISession* unopened = nullptr;
  OCIHandleAlloc(db.env, reinterpret_cast<void**>(&unopened), OCI_HTYPE_SESSION, 0, nullptr);
  EXPECT_EQ(OCIAttrGet(unopened, OCI_HTYPE_SESSION, &encoding, nullptr, OCI_ATTR_CHARSET_ID,
                       db.err),
            OCI_ERROR);
}

}  // namespace
