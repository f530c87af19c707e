#pragma once

#include <cstdint>
#include <string>

// StartProfile: the start-up profile "profile.cfg" in the data folder, exactly 8 bytes:
//   show at start-up (i32 LE, 0 or 1), last choice (i32 LE: 0 sample project, 1 open project)
// A missing or short file gives the defaults for the values it lacks (show 1, choice 0).
struct StartProfile {
    static constexpr const char* kFileName = "profile.cfg";
    static constexpr int kFileSize = 8;

    std::int32_t showAtStartup = 1;
    std::int32_t choice = 0;

    static StartProfile read(const std::string& path);
    // Replaces the file (through a temporary file renamed over it); false when it cannot be
    // written, which callers pass over silently.
    bool write(const std::string& path) const;
};
