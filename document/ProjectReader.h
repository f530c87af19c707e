#pragma once

#include "document/LoadedProject.h"

#include <QIODevice>

#include <optional>
#include <string>

// ProjectReader: reads a project file (layout in ProjectWriter.h) into fresh records. Every
// count and size is checked against the bytes left before anything is allocated: negative
// counts, counts that need more bytes than remain, pictures with a non-positive side or a
// side above kMaxPictureSide, and layer counts that do not add up to the object count refuse
// the file. The format identifier is not compared (files carry it, readers never did).
// Bytes after the last symbol record are ignored. Each object gets its base hit region
// (0, 0, width, height); the run-time values at offsets 488/492 are replaced.
class ProjectReader {
public:
    static constexpr int kMaxPictureSide = 16384;

    static std::optional<LoadedProject> read(QIODevice& device);
    // Reads the project file at `path` (local 8-bit encoding); nothing when it cannot be
    // opened or is refused. A relative background picture path is resolved against the
    // file's folder (see resolveBackgroundPicture).
    static std::optional<LoadedProject> readFile(const std::string& path);
    // Only the header of the project file at `path` (for naming a file without reading its
    // pictures); nothing when the file cannot be opened or is shorter than the header.
    static std::optional<ProjectHeader> readHeader(const std::string& path);
    // A relative background picture path names a picture beside the project file (the bundled
    // samples store only the picture's name, so that a copied or installed program finds
    // it): it becomes that absolute path, when the path fits the field. Absolute paths and
    // empty ones stay as they are.
    static void resolveBackgroundPicture(ProjectHeader& header, const std::string& projectFile);
};
