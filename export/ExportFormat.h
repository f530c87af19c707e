#pragma once

#include "export/AviExporter.h"
#include "export/ExportKind.h"
#include "export/ExportSettings.h"
#include "export/GifExporter.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FrameExporter;

// What a format takes from the export dialog and the command line.
enum ExportOption : unsigned {
    kTakesQuality = 1u << 0,      // a 0..100 quality
    kTakesLoops = 1u << 1,        // a loop count
    kTakesTransparency = 1u << 2, // frames without the stage's background, with alpha
    kTakesSizeBudget = 1u << 3,   // "fit in N KB"
    kTakesLossless = 1u << 4,     // lossless instead of lossy
    kTakesColours = 1u << 5,      // a palette size (a budget may lower it)
};

// The choices an exporter is made from.
struct ExportChoice {
    ExportSettings settings;
    int colours = 256;                     // GIF: the palette size
    AviExporter::CodecChooser chooseCodec; // AVI: the codec dialog (or a given answer)
};

// ExportFormat: one output format: its kind, its name, its file extension and file dialog
// filter, the options it takes, the command of its own (the first three formats), and how its
// exporter is made. The menu, the file dialog, the export dialog and the command line all
// read this table; a new format is a row here and its exporter, nothing else.
struct ExportFormat {
    ExportKind kind;
    const char* id;        // the command line's name for it ("gif", "mp4", ...)
    const char* name;      // what the export dialog lists
    const char* extension; // ".gif"; empty for a folder of pictures
    const char* filter;    // the file dialog's filter, in the program's "desc|pattern||" form
    unsigned options;      // ExportOption flags
    int defaultQuality;    // the quality used when none is chosen (formats that take one)
    int command;           // the menu command of its own, 0 for none
    const char* menuText;  // that command's menu text
    std::unique_ptr<FrameExporter> (*make)(const ExportChoice& choice);

    bool takes(ExportOption option) const { return (options & option) != 0; }
    // The output path for a chosen file: the extension is appended unless the path's end,
    // lower-cased, already is it.
    std::string outputPath(const std::string& chosen) const;
};

class ExportFormats {
public:
    static const std::vector<ExportFormat>& all();
    // The first format of a kind (GIF: the classic one).
    static const ExportFormat& of(ExportKind kind);
    static const ExportFormat* byId(std::string_view id);
    static const ExportFormat* byCommand(int command);
    // The format an output path names by its extension (case-insensitive); null for none.
    static const ExportFormat* byPath(std::string_view path);
};
