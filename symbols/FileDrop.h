#pragma once

#include <string>
#include <string_view>
#include <vector>

// FileDrop: what a drop of files is, told from the files' names: one project file, pictures
// (every file the picture loader reads by its extension, GIFs among them), or one video file of
// a container the video readers open. Mixed kinds, several projects or videos, and unknown
// types are nothing the program takes: the drop is refused before the files are read.
class FileDrop {
public:
    enum class Kind { None, Project, Pictures, Video };

    static Kind classify(const std::vector<std::string>& paths);

    static bool isProject(std::string_view path);
    static bool isPicture(std::string_view path);
    static bool isVideo(std::string_view path);
};
