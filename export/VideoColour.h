#pragma once

struct AVCodecContext;

// VideoColour: how the video exports describe their YUV pictures, so that players convert
// them back as they were made: BT.601 matrix in limited range (what FFmpeg's converter
// writes), sRGB primaries and transfer (what the stage draws).
class VideoColour {
public:
    static void tag(AVCodecContext& codec);
};
