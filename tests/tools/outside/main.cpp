// Uses the installed library only through its public headers: loads a picture, saves it as PNG
// and JPEG, and decodes a GIF. Prints "<width>x<height> type <code> gif <w>x<h>".
#include <zentravo/CTavImage.h>
#include <zentravo/CTavImageEncoder.h>
#include <zentravo/CxIOFile.h>
#include <zentravo/CxImageGIF.h>

#include <QImage>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2; // picture, GIF, output prefix
    CTavImage image;
    if (!image.LoadPhoto(argv[1]))
        return 3;
    const CxImage* picture = image.GetImage();
    QImage frame(picture->GetWidth(), picture->GetHeight(), QImage::Format_ARGB32);
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(frame.scanLine(y), picture->topRow(y),
                    static_cast<std::size_t>(frame.width()) * 4);
    const std::string prefix = argv[3];
    if (CTavImageEncoder("copy.png").Save(frame, (prefix + ".png").c_str()) != 0)
        return 4;
    if (CTavImageEncoder("image/jpeg").Save(frame, (prefix + ".jpg").c_str()) != 0)
        return 5;

    std::FILE* fp = std::fopen(argv[2], "rb");
    if (!fp)
        return 6;
    CxIOFile file(fp);
    CxImageGIF gif;
    const bool decoded = gif.Decode(&file);
    std::fclose(fp);
    if (!decoded)
        return 7;
    std::printf("%dx%d type %u gif %dx%d\n", picture->GetWidth(), picture->GetHeight(),
                picture->GetType(), gif.GetWidth(), gif.GetHeight());
    return 0;
}
