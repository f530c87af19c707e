// zentravo-cli: headless commands over the core library.
#include "tools/cli/DemoCommand.h"
#include "tools/cli/GrabCommand.h"

#include <QCoreApplication>

#include <cstring>
#include <iostream>

namespace {

int usage() {
    std::cerr << "usage: zentravo-cli COMMAND [ARGS]\n"
                 "  demo    build a small project in memory and print every object's state\n"
                 "          at every frame\n"
                 "  grab    VIDEO SECONDS OUT.png: the video's picture at that time, as PNG\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return usage();
    if (std::strcmp(argv[1], "demo") == 0) return DemoCommand::run(std::cout);
    if (std::strcmp(argv[1], "grab") == 0)
        return GrabCommand::run(argc - 2, argv + 2, std::cout, std::cerr);
    return usage();
}
