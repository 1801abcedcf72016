// Why a single link between devices inserted nothing. The insert block
// finds the two ports, the link type and a subsystem both devices share in
// one statement, and its count tells only that no link was written; after
// such a refusal one query asks which part is missing, so that the answer
// names it instead of blaming the subsystems.
#pragma once

#include <string>

namespace ferrule {

// The parts of a link as the insert bound them: port types after the
// "none" rule, any text possibly null.
struct MacroLinkParts {
  const char* node_from;
  const char* node_to;
  const char* port_from;
  const char* port_to;
  const std::string& type_from;
  const std::string& type_to;
  const char* link_type;
};

// True when ErrMess holds exactly "ERROR in <name> : <reason>".
bool AnsweredWith(const char* name, const char* reason, const char* ErrMess);

// The first part of the link that is not recorded, in the words of a
// reason: "FROM PORT NOT FOUND: device a, port o9, type none, way 2", "TO
// PORT NOT FOUND: ..." or "LINK TYPE NOT FOUND: data"; a null text reads
// NULL. Empty when every part is recorded (the devices then share no
// subsystem) or when the database cannot be asked. Asked outside any
// transaction, after the refusal committed: it leaves none open.
std::string MissingMacroLinkPart(const MacroLinkParts& link);

}  // namespace ferrule
