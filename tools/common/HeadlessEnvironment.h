#pragma once

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

// HeadlessEnvironment: prepares the environment of a command-line program that needs a GUI
// application for fonts and painting but shows no window: always the offscreen platform (a
// platform named by the environment, such as xcb with its display gone, would abort the
// program before it starts), and a private runtime folder when there is no session (CI, ssh),
// since the platform would otherwise warn about it on stderr, the program's own channel. Call
// it before the application object is made, and give that object no options from the command
// line (a "-platform" there would choose a platform again).
class HeadlessEnvironment {
public:
    static void prepare() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (!std::getenv("XDG_RUNTIME_DIR")) {
            const std::string runtime = "/tmp/zentravo-runtime-" + std::to_string(getuid());
            mkdir(runtime.c_str(), 0700);
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
    }
};
