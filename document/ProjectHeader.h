#pragma once

#include <cstddef>
#include <cstdint>

// ProjectHeader: the stored part of a project header, 840 bytes written verbatim after the
// object count of a project file (file offset = 4 + field offset). Texts are NUL-terminated
// bytes; numbers little-endian. Limits on the numbers are the properties dialog's, not the
// record's.
struct ProjectHeader {
    char formatId[20];             // "QVXT_2001" then zero bytes
    std::uint8_t guid[16];         // project identifier, fresh for every new project
    char name[260];                // also the name of the project's folder and file
    char reserved[260];            // zero in new projects, carried unchanged
    std::int32_t width;            // stage width in pixels
    std::int32_t height;           // stage height in pixels
    std::int32_t duration;         // frames
    std::int32_t frameRate;        // frames per second
    std::uint32_t backgroundColor; // 0x00BBGGRR
    char backgroundPicture[260];   // path, empty for none
    std::int32_t placement;        // 0 centred, 1 tiled, 2 stretched

    static constexpr const char* kFormatId = "QVXT_2001";
};

enum BackgroundPlacement : std::int32_t {
    kPlacementCentred = 0,
    kPlacementTiled = 1,
    kPlacementStretched = 2,
};

static_assert(sizeof(ProjectHeader) == 840);
static_assert(offsetof(ProjectHeader, guid) == 20);
static_assert(offsetof(ProjectHeader, name) == 36);
static_assert(offsetof(ProjectHeader, reserved) == 296);
static_assert(offsetof(ProjectHeader, width) == 556);
static_assert(offsetof(ProjectHeader, height) == 560);
static_assert(offsetof(ProjectHeader, duration) == 564);
static_assert(offsetof(ProjectHeader, frameRate) == 568);
static_assert(offsetof(ProjectHeader, backgroundColor) == 572);
static_assert(offsetof(ProjectHeader, backgroundPicture) == 576);
static_assert(offsetof(ProjectHeader, placement) == 836);
