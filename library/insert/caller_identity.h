// The computer and login names that every written row carries, read once
// per send.
#pragma once

#include <string>

namespace ferrule {

struct CallerIdentity {
  std::string host;
  std::string login;
};

// Reads both names. On failure ErrMess receives the failing routine's status
// text, or both texts joined as "<host status> , <login status>", and the
// result is false.
bool ReadCallerIdentity(CallerIdentity& out, char* ErrMess);

}  // namespace ferrule
