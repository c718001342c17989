// Where a capture reads and writes: paths made absolute (the capture enters
// the data folder before the show), outputs tried for writing before
// anything renders, and the folder holding datas/.
#pragma once

#include <string>

namespace sgcapture {

// The path from the current folder, as an absolute one.
std::string Absolute(const std::string& path);

// Whether the file can be written; if not, why ("PATH: reason").
bool CanWriteFile(const std::string& path, std::string& why);
// Whether files can be written into the folder, made if missing; if not,
// why ("into PATH: reason").
bool CanWriteInto(const std::string& folder, std::string& why);

// The folder whose datas/ the program reads: given, here, or beside the
// tool; empty when there is none.
std::string FindDataDir(const std::string& given);

}  // namespace sgcapture
