#!/usr/bin/perl
# Used by scripts/db install: reads a password on standard input (all of
# it, as bytes) and prints the SCRAM-SHA-256 verifier PostgreSQL stores for
# it, so that the server is sent the verifier and never the password. The
# verifier is the one libpq's PQencryptPasswordConn and the server make:
#
#   SCRAM-SHA-256$4096:<salt>$<StoredKey>:<ServerKey>   (base64 each)
#
# with a random 16-byte salt, SaltedPassword = PBKDF2-HMAC-SHA-256 of the
# password prepared by SASLprep (RFC 4013), 4096 iterations, StoredKey =
# SHA-256(HMAC(SaltedPassword, "Client Key")) and ServerKey =
# HMAC(SaltedPassword, "Server Key"). As in PostgreSQL, a password that is
# not valid UTF-8, or that SASLprep prohibits, is used as its bytes stand.
use strict;
use warnings;
use Digest::SHA qw(hmac_sha256 sha256);
use Encode qw(decode encode);
use MIME::Base64 qw(encode_base64);
use Unicode::Normalize qw(NFKC);

my $ITERATIONS = 4096;

# RFC 3454 tables that SASLprep uses, as character classes.
my $NON_ASCII_SPACE = qr/[\x{A0}\x{1680}\x{2000}-\x{200B}\x{202F}\x{205F}\x{3000}]/;
my $MAPPED_TO_NOTHING =
  qr/[\x{AD}\x{34F}\x{1806}\x{180B}-\x{180D}\x{200B}-\x{200D}\x{2060}\x{FE00}-\x{FE0F}\x{FEFF}]/;
my $PROHIBITED = qr/[\x{A0}\x{1680}\x{2000}-\x{200B}\x{202F}\x{205F}\x{3000}
                     \x{00}-\x{1F}\x{7F}
                     \x{80}-\x{9F}\x{6DD}\x{70F}\x{180E}\x{200C}\x{200D}\x{2028}\x{2029}
                     \x{2060}-\x{2063}\x{206A}-\x{206F}\x{FEFF}\x{FFF9}-\x{FFFC}\x{1D173}-\x{1D17A}
                     \x{E000}-\x{F8FF}\x{F0000}-\x{FFFFD}\x{100000}-\x{10FFFD}
                     \x{FDD0}-\x{FDEF}\x{FFFE}\x{FFFF}\x{1FFFE}\x{1FFFF}\x{2FFFE}\x{2FFFF}
                     \x{3FFFE}\x{3FFFF}\x{4FFFE}\x{4FFFF}\x{5FFFE}\x{5FFFF}\x{6FFFE}\x{6FFFF}
                     \x{7FFFE}\x{7FFFF}\x{8FFFE}\x{8FFFF}\x{9FFFE}\x{9FFFF}\x{AFFFE}\x{AFFFF}
                     \x{BFFFE}\x{BFFFF}\x{CFFFE}\x{CFFFF}\x{DFFFE}\x{DFFFF}\x{EFFFE}\x{EFFFF}
                     \x{FFFFE}\x{FFFFF}\x{10FFFE}\x{10FFFF}
                     \x{D800}-\x{DFFF}\x{FFFD}\x{2FF0}-\x{2FFB}
                     \x{340}\x{341}\x{200E}\x{200F}\x{202A}-\x{202E}
                     \x{E0001}\x{E0020}-\x{E007F}]/xx;

# SASLprep of a password, or undef where PostgreSQL uses the bytes as they
# are. ASCII passes unchanged.
sub saslprep {
  my ($bytes) = @_;
  return $bytes if $bytes !~ /[^\x00-\x7F]/;
  my $text = eval { decode('UTF-8', $bytes, Encode::FB_CROAK) };
  return undef unless defined $text;
  $text =~ s/$NON_ASCII_SPACE/ /g;
  $text =~ s/$MAPPED_TO_NOTHING//g;
  $text = NFKC($text);
  # Prohibited output, and code points unassigned in Unicode 3.2.
  return undef if $text =~ $PROHIBITED || $text =~ /\P{Present_In: 3.2}/;
  # Right-to-left text holds no left-to-right character, and begins and
  # ends with a right-to-left one.
  if ($text =~ /[\p{Bidi_Class: R}\p{Bidi_Class: AL}]/) {
    return undef if $text =~ /\p{Bidi_Class: L}/
      || $text !~ /^[\p{Bidi_Class: R}\p{Bidi_Class: AL}]/
      || $text !~ /[\p{Bidi_Class: R}\p{Bidi_Class: AL}]$/;
  }
  return encode('UTF-8', $text);
}

# PBKDF2-HMAC-SHA-256 with one block: the 32 bytes SCRAM-SHA-256 needs.
sub salted_password {
  my ($password, $salt) = @_;
  my $u = hmac_sha256($salt . pack('N', 1), $password);
  my $result = $u;
  for (2 .. $ITERATIONS) {
    $u = hmac_sha256($u, $password);
    $result ^= $u;
  }
  return $result;
}

sub random_bytes {
  my ($count) = @_;
  open(my $random, '<:raw', '/dev/urandom') or die "cannot read /dev/urandom: $!\n";
  read($random, my $bytes, $count) == $count or die "cannot read /dev/urandom\n";
  close($random);
  return $bytes;
}

sub b64 { return encode_base64($_[0], ''); }

binmode(STDIN, ':raw');
binmode(STDOUT, ':raw');
my $password = do { local $/; <STDIN> };
$password = '' unless defined $password;
my $prepared = saslprep($password);
$prepared = $password unless defined $prepared;
my $salt = random_bytes(16);
my $salted = salted_password($prepared, $salt);
my $stored_key = sha256(hmac_sha256('Client Key', $salted));
my $server_key = hmac_sha256('Server Key', $salted);
printf "SCRAM-SHA-256\$%d:%s\$%s:%s\n", $ITERATIONS, b64($salt), b64($stored_key), b64($server_key);
