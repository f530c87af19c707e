// zentravo-cli: headless commands over the core library.
#include "tools/cli/DemoCommand.h"
#include "tools/cli/GifFramesCommand.h"

#include <QCoreApplication>

#include <cstring>
#include <iostream>

namespace {

int usage() {
    std::cerr << "usage: zentravo-cli COMMAND [ARGS]\n"
                 "  demo    build a small project in memory and print every object's state\n"
                 "          at every frame\n"
                 "  gif-frames IN.gif OUTDIR\n"
                 "          decode every frame of IN.gif into OUTDIR/frame_NNN.png (RGBA) and\n"
                 "          print a JSON summary\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return usage();
    if (std::strcmp(argv[1], "demo") == 0) return DemoCommand::run(std::cout);
    if (std::strcmp(argv[1], "gif-frames") == 0 && argc == 4)
        return GifFramesCommand::run(argv[2], argv[3], std::cout, std::cerr);
    return usage();
}
