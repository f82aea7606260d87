#pragma once

#include <string>

// The mesh library trusts the counts that PLY and OFF files declare and allocates for them before
// it reads the data: a damaged or hostile header would make it take gigabytes. This check, run
// before the library sees such a file, refuses with a FileFormatError naming the file
// "The file is shorter than its declared contents" when the declared elements, faces and
// per-face lists need more bytes than the file holds. Other files, and those whose header it does
// not understand (which the library then refuses itself), pass.
void checkMeshFileSizes(const std::string& path);
