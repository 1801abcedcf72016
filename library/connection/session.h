// The one database connection of the process and the subsystem table that
// is loaded with it. Process-wide and unsynchronised: the library is used
// from one thread at a time.
#pragma once

#include <chrono>

#include "oci.h"
#include "whole_characters.h"

namespace ferrule {

struct Session {
  OCIEnv* envhp = nullptr;
  OCIError* errhp = nullptr;
  OCISvcCtx* svchp = nullptr;
  OCIServer* srvhp = nullptr;
  OCISession* authp = nullptr;

  bool connected() const { return envhp != nullptr; }
  void forget() { *this = Session{}; }
};

Session& session();

// How long DBConnexion may take in all, the login and the subsystem load
// together: a server that answers the login and then nothing, or a
// subsystem table that another session holds locked, must not keep the
// caller waiting.
constexpr std::chrono::seconds kConnexionLimit{20};
// The limit DBConnexion applies: kConnexionLimit, shorter in tests.
std::chrono::seconds& connexion_limit();

// Subsystem names (at most 9 characters of the connection's client
// encoding) and their prime ids, in the order the database returned them.
// Kept across disconnection.
constexpr int kSubsystemSlots = 50;
constexpr int kSubsystemNameMax = 9;
// The bytes of a name of kSubsystemNameMax characters of the widest
// encoding, without its NUL.
constexpr int kSubsystemNameBytes =
    kSubsystemNameMax * static_cast<int>(oci::kLongestCharacterBytes);

struct SubsystemTable {
  char names[kSubsystemSlots][kSubsystemNameBytes + 1] = {};
  int ids[kSubsystemSlots] = {};
  int count = 0;
};

SubsystemTable& subsystem_table();

// Loads the table from the database; returns the result code.
int LoadSubsystemTable(char (*names)[kSubsystemNameBytes + 1], int* ids,
                       int* count, char* ErrMess);

}  // namespace ferrule
