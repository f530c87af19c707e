#include "tools/cli/RenderCommand.h"

#include "tools/cli/CommandLine.h"
#include "tools/cli/ProjectArgument.h"
#include "document/Document.h"
#include "export/ExportSource.h"
#include "stage/StageCanvas.h"

#include <QFile>
#include <QImageWriter>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

struct Options {
    std::string project;
    int frame = -1;
    std::string output;
    double zoom = 1.0;
    bool editView = false;
};

bool parse(int argc, char** argv, Options& options, std::ostream& err) {
    const CommandLine line(argc, argv, 2, {{"--zoom"}, {"--edit-view"}});
    if (!line.number("--zoom", 0.05, 16.0, options.zoom)) {
        err << "render: the zoom must be a number from 0.05 to 16\n";
        return false;
    }
    if (line.ok() && line.count() == 3 &&
        !CommandLine::parseInteger(line.at(1), 0, 1000000, options.frame)) {
        err << "render: FRAME must be a frame number\n";
        return false;
    }
    if (!line.ok() || line.count() != 3) {
        if (!line.ok())
            err << "render: " << line.error() << "\n";
        err << "usage: zentravo-cli render PROJECT.vrn FRAME OUT.png [--zoom Z] [--edit-view]\n";
        return false;
    }
    options.project = line.at(0);
    options.output = line.at(2);
    options.editView = line.flag("--edit-view");
    return true;
}

} // namespace

int RenderCommand::run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Options options;
    if (!parse(argc, argv, options, err))
        return 2;
    Document document;
    if (!ProjectArgument::open(options.project, document, err))
        return 1;
    const ProjectHeader header = document.lock().project().header;
    if (options.frame >= header.duration) {
        err << "render: frame " << options.frame << " is outside the project (0.."
            << header.duration - 1 << ")\n";
        return 1;
    }

    QImage picture;
    if (options.editView) {
        // The stage view stepped to the frame: every frame up to it drawn once, in order.
        StageCanvas canvas(document);
        canvas.setStageSize(header.width, header.height);
        canvas.setZoom(static_cast<float>(options.zoom));
        canvas.loadBackgroundPicture();
        canvas.makeViewBackBuffer();
        auto lock = document.lock();
        for (int frame = 0; frame <= options.frame; ++frame) {
            document.setCurrentFrame(frame);
            canvas.drawFrame(lock);
        }
        picture = canvas.backBuffer(lock);
    } else {
        // The frame an export hands its encoder.
        picture =
            ExportSource::take(document, static_cast<float>(options.zoom)).drawFrame(options.frame);
    }
    QImageWriter writer(QString::fromLocal8Bit(options.output.c_str()), "png");
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888))) {
        err << "render: cannot write " << options.output << ": "
            << writer.errorString().toStdString() << "\n";
        return 1;
    }
    out << options.output << "\n";
    return 0;
}
