#pragma once

#include "symbols/FileDrop.h"

#include <string>
#include <vector>

class QMimeData;

// DroppedFiles: the local files a drag carries (file-manager drags carry them as file URLs),
// as paths in the local 8-bit encoding, and what kind of drop they make (FileDrop). A drag
// with any URL that is not a local file carries none.
class DroppedFiles {
public:
    static std::vector<std::string> paths(const QMimeData* data);
    static FileDrop::Kind kind(const QMimeData* data);
};
