#pragma once

#include <string>

// The mesh library trusts the counts that PLY and OFF files declare, and the chunk lengths of binary
// glTF files, and allocates for them before it reads the data: a damaged or hostile header would
// make it take gigabytes. This check, run before the library sees such a file, refuses with a
// FileFormatError naming the file "The file is shorter than its declared contents" when the declared
// elements, faces, per-face lists or chunks need more bytes than the file holds. The library also
// crashes on some malformed PLY headers, so a PLY header that does not follow the format is refused
// as "The file's PLY header is malformed", and one that the library would overrun (a second vertex
// or face element, face texture coordinates without vertex indices) is refused with a message that
// says so; a binary glTF header that is not one of version 2 or whose
// total length is less than the file's size is refused as "The file's glTF binary header is
// malformed". The suffix (".ply", ".off", ".gltf", ".glb") decides which check a file gets, as it decides
// which reader reads it; a ".glb" file must start with the binary glTF header, a ".gltf" file must hold a
// JSON object. A glTF file whose meshes are Draco-compressed is refused: the library's decoding of them can
// be made to overrun its stack. Other files pass.
void checkMeshFileSizes(const std::string& path);
