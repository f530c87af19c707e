#include "export/VideoColour.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

void VideoColour::tag(AVCodecContext& codec) {
    codec.colorspace = AVCOL_SPC_SMPTE170M;
    codec.color_range = AVCOL_RANGE_MPEG;
    codec.color_primaries = AVCOL_PRI_BT709;
    codec.color_trc = AVCOL_TRC_IEC61966_2_1;
}
