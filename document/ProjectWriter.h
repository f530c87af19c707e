#pragma once

#include "document/EmbeddedSymbolList.h"
#include "document/Project.h"

#include <QIODevice>

// ProjectWriter: writes a project file (".vrn") to a device:
//   N (i32), header (840), N x [SymbolId (16), object record (524), P x point (8)],
//   L (i32), L x [count (i32), name (256), visible (u32), selected (u32)],
//   S (i32), S x [SymbolId (16), F (i32), current frame (i32),
//                 F x [W (i32), H (i32), W*H*4 bytes B,G,R,A, rows top to bottom]]
// Only symbol records that some object refers to are written, in list order.
class ProjectWriter {
public:
    // False when the device refused a write; the device then holds a partial file.
    static bool write(QIODevice& device, const Project& project, const EmbeddedSymbolList& symbols);
};
