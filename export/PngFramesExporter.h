#pragma once

#include "export/ExportSettings.h"
#include "export/PreparingExporter.h"

#include <string>
#include <vector>

// PngFramesExporter: every frame as a PNG file of its own, made by our picture encoder. The
// path given to open() is a folder and a base name: "out/clip" writes out/clip_0000.png,
// out/clip_0001.png, ... (four digits, more past 9999; the base name "frame" when the path ends
// with a slash). The folder is created when missing; files of those names are replaced.
// Opaque frames are 8-bit RGB, transparent ones RGBA with straight alpha. Each frame is
// compressed on the drawing threads and written whole under its name (through a temporary
// file), so no half-written frame is ever left; abort() removes every frame this export wrote
// and the folders it made.
class PngFramesExporter : public PreparingExporter {
public:
    explicit PngFramesExporter(const ExportSettings& settings = {});

    bool open(const std::string& path, int width, int height, int frameRate) override;
    std::unique_ptr<PreparedFrame> prepare(QImage frame) const override;
    bool writePrepared(PreparedFrame& frame, int index) override;
    bool finish() override;
    void abort() override;

    // The file of frame `index` for the path given to open().
    static std::string framePath(const std::string& path, int index);

private:
    ExportSettings m_settings;
    std::string m_path;
    int m_width = 0;
    int m_height = 0;
    bool m_open = false;
    std::vector<std::string> m_written;
    std::vector<std::string> m_madeFolders; // outermost first
};
