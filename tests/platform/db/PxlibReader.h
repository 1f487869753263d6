#pragma once
// Reads a Paradox table with pxlib, the independent reader our files must
// satisfy. Values come back as texts: integers and day numbers in decimal,
// doubles with 17 digits, alpha bytes as they are, blank fields as "<null>".
#include <string>
#include <vector>

namespace pxcheck {

struct Table {
  std::vector<std::string> fieldNames;
  std::vector<int> fieldTypes;
  std::vector<std::vector<std::string>> rows;
  bool indexAttached = false;
};

// `pxPath` empty: no primary index is attached. Returns false with a
// message when pxlib refuses the file or the index.
bool Read(const std::string& dbPath, const std::string& pxPath, Table& out, std::string& error);

}  // namespace pxcheck
