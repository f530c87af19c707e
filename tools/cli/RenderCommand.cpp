#include "tools/cli/RenderCommand.h"

#include "tools/cli/ProjectArgument.h"
#include "stage/StageCanvas.h"

#include <QFile>
#include <QImageWriter>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

struct Options {
    const char* project = nullptr;
    int frame = -1;
    const char* output = nullptr;
    float zoom = 1.0f;
    bool editView = false;
};

bool parse(int argc, char** argv, Options& options, std::ostream& err) {
    int positional = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--edit-view") == 0) {
            options.editView = true;
        } else if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc) {
            char* end = nullptr;
            options.zoom = std::strtof(argv[++i], &end);
            if (*end != '\0' || !(options.zoom >= 0.05f && options.zoom <= 16.0f)) {
                err << "render: the zoom must be a number from 0.05 to 16\n";
                return false;
            }
        } else if (positional == 0) {
            options.project = argv[i];
            ++positional;
        } else if (positional == 1) {
            char* end = nullptr;
            const long frame = std::strtol(argv[i], &end, 10);
            if (*end != '\0' || frame < 0 || frame > 1000000) {
                err << "render: FRAME must be a frame number\n";
                return false;
            }
            options.frame = static_cast<int>(frame);
            ++positional;
        } else if (positional == 2) {
            options.output = argv[i];
            ++positional;
        } else {
            positional = 99;
        }
    }
    if (positional != 3) {
        err << "usage: zentravo-cli render PROJECT.vrn FRAME OUT.png [--zoom Z] [--edit-view]\n";
        return false;
    }
    return true;
}

} // namespace

int RenderCommand::run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Options options;
    if (!parse(argc, argv, options, err))
        return 2;
    std::optional<LoadedProject> loaded = ProjectArgument::load(options.project, err);
    if (!loaded)
        return 1;
    const ProjectHeader& header = loaded->project.header;
    if (options.frame >= header.duration) {
        err << "render: frame " << options.frame << " is outside the project (0.."
            << header.duration - 1 << ")\n";
        return 1;
    }

    StageCanvas canvas;
    canvas.setModel(&loaded->project, &loaded->symbols, &loaded->hitRegions);
    canvas.setStageSize(header.width, header.height);
    canvas.setZoom(options.zoom);
    canvas.loadBackgroundPicture();
    canvas.setEditView(options.editView);
    canvas.setExporting(!options.editView);
    if (options.editView)
        canvas.makeViewBackBuffer();
    else
        canvas.makeExportBackBuffer();
    {
        std::lock_guard lock(canvas.modelMutex());
        for (int frame = 0; frame <= options.frame; ++frame) {
            canvas.setCurrentFrame(frame);
            canvas.drawFrame();
        }
    }
    QImageWriter writer(QString::fromLocal8Bit(options.output), "png");
    if (!writer.write(canvas.backBuffer().convertToFormat(QImage::Format_RGB888))) {
        err << "render: cannot write " << options.output << ": "
            << writer.errorString().toStdString() << "\n";
        return 1;
    }
    out << options.output << "\n";
    return 0;
}
