// The objects behind the environment, error, server, session, service
// context and statement handles. The environment owns every handle
// allocated from it and frees those still alive when it is freed.
#pragma once

#include "connect_target.h"
#include "connection.h"
#include "error_record.h"
#include "handle.h"
#include "statement.h"

#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>

struct OCIError final : ferrule::oci::Handle {
  OCIError() : Handle(OCI_HTYPE_ERROR) {}
  ferrule::oci::ErrorRecord record;
};

struct OCIServer final : ferrule::oci::Handle {
  OCIServer() : Handle(OCI_HTYPE_SERVER) {}
  ferrule::oci::ConnectTarget target;
  bool attached = false;
};

struct OCISession final : ferrule::oci::Handle {
  OCISession() : Handle(OCI_HTYPE_SESSION) {}
  std::string user;
  std::string password;
  // Closing it ends the server session, which rolls back uncommitted work.
  std::unique_ptr<ferrule::oci::Connection> connection;
};

struct OCISvcCtx final : ferrule::oci::Handle {
  OCISvcCtx() : Handle(OCI_HTYPE_SVCCTX) {}
  OCIServer* server = nullptr;
  OCISession* session = nullptr;
  // OCI_ATTR_CALL_TIMEOUT: how long each call may wait for the server.
  std::chrono::milliseconds call_timeout{0};
};

struct OCIStmt final : ferrule::oci::Handle {
  OCIStmt() : Handle(OCI_HTYPE_STMT) {}
  ferrule::oci::Statement statement;
};

struct OCIEnv final : ferrule::oci::Handle {
  OCIEnv() : Handle(OCI_HTYPE_ENV) {}

  ferrule::oci::Handle* adopt(std::unique_ptr<ferrule::oci::Handle> child);
  // Frees a child; service contexts that refer to it forget it.
  void release(ferrule::oci::Handle* child);

 private:
  std::unordered_map<ferrule::oci::Handle*, std::unique_ptr<ferrule::oci::Handle>> children_;
};
