#pragma once

#include <ostream>
#include <string>

class MessageSink;

// InfoCommand: `zentravo-cli info PROJECT.vrn` loads a project file and prints it as one JSON
// object: header, layers, objects (with their guide points) and symbols (with their frame
// sizes). Numbers are printed as stored (kind 0 text / 1 symbol, motion 0 none / 1 Liner /
// 2 guide line, colours 0x00BBGGRR); flags are booleans; texts are decoded as UTF-8 with a
// Latin-1 fallback. A file it cannot load gives "Failed to load project" and exit code 1.
class InfoCommand {
public:
    static int run(const std::string& path, std::ostream& out, MessageSink& sink);
};
