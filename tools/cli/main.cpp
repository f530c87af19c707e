// zentravo-cli: headless commands over the core library.
#include "tools/common/HeadlessEnvironment.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/DemoCommand.h"
#include "tools/cli/TextSheetCommand.h"
#include "tools/cli/InfoCommand.h"
#include "tools/cli/RenderCommand.h"
#include "tools/cli/StderrMessageSink.h"
#include "tools/cli/GrabCommand.h"
#include "tools/cli/ExportCommand.h"
#include "tools/cli/GifFramesCommand.h"
#include "tools/cli/LibraryCommand.h"
#include "tools/cli/ThumbnailCommand.h"

#include <QGuiApplication>

#include <cstdlib>
#include <string>

#include <cstring>
#include <iostream>

namespace {

int usage() {
    std::cerr << "usage: zentravo-cli COMMAND [ARGS]\n"
                 "  demo    build a small project in memory and print every object's state\n"
                 "          at every frame\n"
                 "  text-sheet OUT.png [--text T] [--face F] [--size N]\n"
                 "          draw every text style into one labelled PNG sheet\n"
                 "  info PROJECT.vrn\n"
                 "          load a project file and print it as JSON\n"
                 "  render PROJECT.vrn FRAME OUT.png [--zoom Z] [--edit-view]\n"
                 "          write one frame as an export would see it (or the stage view)\n"
                 "  grab VIDEO SECONDS OUT.png\n"
                 "          the video's picture at that time, as PNG\n"
                 "  export PROJECT.vrn OUT.EXT [--quality N] [--loops N] [--transparent]\n"
                 "         [--max-size 256k] [--scale 50%] [--format ID]\n"
                 "          export the animation in the format of OUT's extension (GIF,\n"
                 "          AVI, SWF, MP4, WebM, WebP, APNG, PNG frames: see formats)\n"
                 "  formats\n"
                 "          the export formats and the options each takes, as JSON\n"
                 "  gif-frames IN.gif OUTDIR\n"
                 "          decode every frame of IN.gif into OUTDIR/frame_NNN.png (RGBA) and\n"
                 "          print a JSON summary\n"
                 "  library list|add|frames|delete ... [--dir DIR]\n"
                 "          list the symbol library as JSON, add a symbol made of pictures,\n"
                 "          write a symbol's frames as PNG, delete a symbol\n"
                 "  thumbnail PROJECT.vrn OUT.png SIZE\n"
                 "          frame 0 fitted into SIZE x SIZE pixels, as PNG (file managers)\n"
                 "  --version\n"
                 "          print the program's version\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application; no window is shown. The application gets only the
    // program's name: the arguments are the commands' own, never options for the platform.
    HeadlessEnvironment::prepare();
    int applicationArgc = 1;
    QGuiApplication app(applicationArgc, argv);
    if (argc < 2)
        return usage();
    if (std::strcmp(argv[1], "--version") == 0 && argc == 2) {
        std::cout << "zentravo-cli " << ZENTRAVO_VERSION << "\n";
        return 0;
    }
    if (std::strcmp(argv[1], "demo") == 0)
        return DemoCommand::run(std::cout);
    if (std::strcmp(argv[1], "text-sheet") == 0)
        return TextSheetCommand::run(argc, argv, std::cout, std::cerr);
    if (std::strcmp(argv[1], "render") == 0)
        return RenderCommand::run(argc, argv, std::cout, std::cerr);
    if (std::strcmp(argv[1], "export") == 0)
        return ExportCommand::run(argc, argv, std::cout, std::cerr);
    if (std::strcmp(argv[1], "formats") == 0)
        return ExportCommand::formats(std::cout);
    if (std::strcmp(argv[1], "library") == 0)
        return LibraryCommand::run(argc, argv, std::cout, std::cerr);
    if (std::strcmp(argv[1], "thumbnail") == 0)
        return ThumbnailCommand::run(argc, argv, std::cout, std::cerr);
    // The commands without options: only their positional arguments.
    const CommandLine line(argc, argv, 2);
    if (!line.ok())
        return usage();
    if (std::strcmp(argv[1], "info") == 0 && line.count() == 1) {
        StderrMessageSink sink;
        return InfoCommand::run(line.at(0), std::cout, sink);
    }
    if (std::strcmp(argv[1], "grab") == 0)
        return GrabCommand::run(argc - 2, argv + 2, std::cout, std::cerr);
    if (std::strcmp(argv[1], "gif-frames") == 0 && line.count() == 2)
        return GifFramesCommand::run(line.at(0).c_str(), line.at(1).c_str(), std::cout, std::cerr);
    return usage();
}
