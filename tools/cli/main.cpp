// zentravo-cli: headless commands over the core library.
#include "tools/cli/DemoCommand.h"

#include <QCoreApplication>

#include <cstring>
#include <iostream>

namespace {

int usage() {
    std::cerr << "usage: zentravo-cli COMMAND [ARGS]\n"
                 "  demo    build a small project in memory and print every object's state\n"
                 "          at every frame\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return usage();
    if (std::strcmp(argv[1], "demo") == 0) return DemoCommand::run(std::cout);
    return usage();
}
