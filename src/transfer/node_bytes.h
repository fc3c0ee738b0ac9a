// The program's own clipboard format: nodes with everything below them in the project file's
// chunk format (a header, then a chunk per node as the file holds it), so that every field
// survives a copy: popups, hidden fields and the chunks a node keeps without knowing them.
#pragma once

#include "transfer/node_bundle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CStreamable;

// The nodes, all of `kind`; empty when they do not fit the format's 32-bit lengths.
std::string WriteNodeBytes(std::int32_t kind, const std::vector<CStreamable*>& nodes);

// New nodes from such bytes (new objects, popups with new numbers): the nodes of the first
// node kind met; chunks of other kinds and anything else are passed over. False when no node
// was there. Damaged bytes give what was read before the damage.
bool ReadNodeBytes(std::string_view bytes, CNodeBundle& bundle);

// A copy of the nodes through the format: what a paste of copied nodes puts in.
CNodeBundle CopyNodes(std::int32_t kind, const std::vector<CStreamable*>& nodes);
