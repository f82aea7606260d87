#pragma once

#include "foundation/ErrorThrowing.h"

#include <algorithm>
#include <cctype>
#include <string>

class FileBytes;

// The mesh library trusts the counts that PLY and OFF files declare, and the chunk lengths of binary
// glTF files, and allocates for them before it reads the data: a damaged or hostile header would
// make it take gigabytes, and some malformed headers crash it. One guard per format, run on the
// file's bytes before the library sees the file, refuses such a file with a FileFormatError naming
// it: "The file is shorter than its declared contents" when the declared elements, faces, per-face
// lists or chunks need more bytes than the file holds, or a message saying what else is malformed.

// A PLY header that does not follow the format ("The file's PLY header is malformed"), or that the
// library would overrun (a second vertex or face element, face texture coordinates without vertex
// indices).
void guardPlyFile(const FileBytes& file);
// Counts that do not fit the file, vertex lines without three numbers, faces of other than 1 to 9
// corners or naming undeclared vertices ("The file's OFF data is malformed").
void guardOffFile(const FileBytes& file);
// A text glTF file: its JSON object, with accessors, views and buffers (also those in files beside
// it) that hold what they declare; Draco-compressed meshes are refused (the library's decoding of
// them can be made to overrun its stack).
void guardGltfFile(const FileBytes& file);
// A binary glTF file: the header of version 2 whose total length is the file's size ("The file's
// glTF binary header is malformed"), chunks inside the file, then the JSON as for a text file.
void guardGlbFile(const FileBytes& file);

// The guards' refusal.
[[noreturn]] inline void
refuseMeshFile(const std::string& path,
               const std::string& why = "The file is shorter than its declared contents") {
  throwFileError<FileFormatError>(OSTREL_HERE, why, path);
}

// A count as the formats write them: decimal digits only, at most 18 of them.
inline bool isDecimalCount(const std::string& word) {
  return !word.empty() && word.size() <= 18 &&
         std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c); });
}
