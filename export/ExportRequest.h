#pragma once

#include "export/ExportFormat.h"
#include "export/ExportSource.h"
#include "export/SizeBudget.h"

#include <optional>

// ExportRequest: an export chosen in the export dialog or on the command line: a format of
// the table with its settings, the frames' shape, and a size budget.
struct ExportRequest {
    const ExportFormat* format = nullptr;
    ExportChoice choice;
    ExportShape shape;
    std::optional<SizeBudget::Limits> budget;
};
