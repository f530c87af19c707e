#pragma once

#include <string_view>

// The three kinds of export and their output file extensions.
enum class ExportKind : int {
    Gif = 0,
    Avi = 1,
    Swf = 2,
};

constexpr std::string_view exportExtension(ExportKind kind) {
    switch (kind) {
    case ExportKind::Avi:
        return ".avi";
    case ExportKind::Swf:
        return ".swf";
    case ExportKind::Gif:
        break;
    }
    return ".gif";
}
