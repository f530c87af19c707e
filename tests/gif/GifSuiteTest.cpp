// The reader against public GIF test suites (../shared/testdata/gif, see its SOURCES.md).
// Where a suite's expectation is that suite's own choice and our reader documents another,
// the test checks ours; those cases are listed in the tables below.
#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"
#include "tests/gif/GifTestSupport.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImage>

#include <map>
#include <set>
#include <sstream>

using namespace giftest;

namespace {

using Ini = std::map<std::string, std::map<std::string, std::string>>;

Ini readIni(const std::string& path) {
    Ini ini;
    std::istringstream in(
        std::string(reinterpret_cast<const char*>(readFile(path).data()), readFile(path).size()));
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const auto eq = line.find(" = ");
        if (eq != std::string::npos)
            ini[section][line.substr(0, eq)] = line.substr(eq + 3);
        else if (line.back() == '=' || line.find(" =") != std::string::npos)
            ini[section][line.substr(0, line.find(' '))] = "";
    }
    return ini;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(s);
    while (std::getline(in, item, sep))
        if (!item.empty()) out.push_back(item);
    return out;
}

Bytes pngRgba(const std::string& path) {
    const QImage image =
        QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGBA8888);
    Bytes v;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        v.insert(v.end(), line, line + image.width() * 4);
    }
    return v;
}

// Pixels equal, where two fully transparent pixels are equal whatever their colour.
int differingPixels(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        if (a[i + 3] == 0 && b[i + 3] == 0) continue;
        if (!std::equal(a.begin() + static_cast<long>(i), a.begin() + static_cast<long>(i + 4),
                        b.begin() + static_cast<long>(i)))
            ++n;
    }
    return n;
}

Bytes frameRgba(const Bytes& file, int n, CxImageGIF* out = nullptr) {
    CxImageGIF gif;
    if (!decode(file, gif, n)) return {};
    if (out) *out = gif;
    return rgbaOf(gif);
}

} // namespace

TEST(GifSuite, PygifCasesDecodeAsExpected) {
    const std::string dir = testData("pygif-suite/");
    // Our reader skips empty images and refuses a file with no image left; the suite paints
    // the background instead. (Images that pass the logical screen are clipped, as the suite
    // clips them.)
    const std::set<std::string> refusedByUs = {"no-data", "image-zero-width", "image-zero-size"};
    // The suite refuses these; our reader decodes them: colour indices past the table show
    // black, the plain-text block is skipped.
    const std::set<std::string> decodedByUs = {"invalid-colors", "plain-text"};
    // The suite merges images without a delay into one frame; our reader counts every image
    // as a frame, and its last frame shows what the suite's last frame shows.
    const std::set<std::string> mergedBySuite = {"images-combine", "high-color",
                                                 "animation-multi-image"};
    const auto names =
        split(std::string(reinterpret_cast<const char*>(readFile(dir + "TESTS").data()),
                          readFile(dir + "TESTS").size()),
              '\n');
    ASSERT_GT(names.size(), 40u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Ini ini = readIni(dir + name + ".conf");
        auto& config = ini["config"];
        const Bytes file = readFile(dir + config["input"]);
        const auto frames = split(config["frames"], ',');
        auto expected = [&](const std::string& frame) {
            auto& f = ini[frame];
            return f.count("pixels") ? readFile(dir + f["pixels"]) : pngRgba(dir + f["image"]);
        };
        CxImageGIF first;
        const bool ok = decode(file, first);
        if (refusedByUs.count(name) || (frames.empty() && !decodedByUs.count(name))) {
            EXPECT_FALSE(ok);
            continue;
        }
        ASSERT_TRUE(ok) << first.GetLastError();
        EXPECT_EQ(first.GetWidth(), std::stoi(config["width"]));
        EXPECT_EQ(first.GetHeight(), std::stoi(config["height"]));
        if (decodedByUs.count(name)) continue;
        if (mergedBySuite.count(name)) {
            EXPECT_GT(first.GetNumFrames(), static_cast<int>(frames.size()));
            EXPECT_EQ(
                differingPixels(frameRgba(file, first.GetNumFrames() - 1), expected(frames.back())),
                0);
            continue;
        }
        const std::string loops = config["loop-count"];
        EXPECT_EQ(first.GetLoops(), loops == "infinite" ? 0 : std::stoi(loops));
        ASSERT_EQ(first.GetNumFrames(), static_cast<int>(frames.size()));
        for (std::size_t n = 0; n < frames.size(); ++n) {
            SCOPED_TRACE(n);
            CxImageGIF gif;
            const Bytes got = frameRgba(file, static_cast<int>(n), &gif);
            EXPECT_EQ(differingPixels(got, expected(frames[n])), 0);
            const std::string delay = ini[frames[n]]["delay"];
            EXPECT_EQ(gif.GetFrameDelay(),
                      static_cast<std::uint32_t>(delay.empty() ? 0 : std::stoi(delay)));
        }
    }
}

TEST(GifSuite, GiflibPicturesMatchTheirRgbDumps) {
    // .rgb: every image painted in order (RGB24, screen size); compare where we are opaque.
    for (const char* name : {"gifgrid", "porsche", "solid2", "treescap", "treescap-interlaced",
                             "x-trans", "fire", "welcome2"}) {
        SCOPED_TRACE(name);
        const Bytes file = readFile(testData(std::string("giflib/pic/") + name + ".gif"));
        const Bytes rgb = readFile(testData(std::string("giflib/tests/") + name + ".rgb"));
        CxImageGIF first;
        ASSERT_TRUE(decode(file, first));
        const Bytes got = frameRgba(file, first.GetNumFrames() - 1);
        ASSERT_EQ(got.size() / 4, rgb.size() / 3);
        int differ = 0, opaque = 0;
        for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
            if (got[i * 4 + 3] == 0) continue;
            ++opaque;
            if (!std::equal(rgb.begin() + static_cast<long>(i * 3),
                            rgb.begin() + static_cast<long>(i * 3 + 3),
                            got.begin() + static_cast<long>(i * 4)))
                ++differ;
        }
        EXPECT_EQ(differ, 0);
        EXPECT_GT(opaque, 0);
    }
    CxImageGIF fire, welcome;
    ASSERT_TRUE(decode(readFile(testData("giflib/pic/fire.gif")), fire));
    EXPECT_EQ(fire.GetNumFrames(), 33);
    ASSERT_TRUE(decode(readFile(testData("giflib/pic/welcome2.gif")), welcome));
    EXPECT_EQ(welcome.GetNumFrames(), 6);
}

TEST(GifSuite, PeterdnFramesMatchTheirReferences) {
    const QString dir = QString::fromStdString(testData("peterdn/gifs"));
    QDirIterator it(dir, {"*.gif"});
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const std::string name = it.fileInfo().completeBaseName().toStdString();
        SCOPED_TRACE(name);
        ++files;
        const Bytes file = readFile(path.toStdString());
        CxImageGIF first;
        ASSERT_TRUE(decode(file, first));
        for (int n = 0;; ++n) {
            const std::string ref =
                dir.toStdString() + "/frames/" + name + "-" + std::to_string(n) + ".png";
            if (!QFile::exists(QString::fromStdString(ref))) {
                // Still pictures come without reference frames.
                EXPECT_EQ(first.GetNumFrames(), n == 0 ? 1 : n);
                break;
            }
            EXPECT_EQ(differingPixels(frameRgba(file, n), pngRgba(ref)), 0) << n;
        }
    }
    EXPECT_EQ(files, 13);
}

TEST(GifSuite, FuzzerFoundFilesDecodeSafely) {
    // Malformed files: decoding must neither crash nor touch memory it does not own (the
    // asan build runs this); the result may be a refusal or a partial picture.
    QDirIterator it(QString::fromStdString(testData("nsgif-afl")), {"*.gif"}, QDir::Files,
                    QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const std::string path = it.next().toStdString();
        SCOPED_TRACE(path);
        ++files;
        const Bytes file = readFile(path);
        CxImageGIF gif;
        if (!decode(file, gif)) continue;
        EXPECT_EQ(rgbaOf(gif).size(),
                  static_cast<std::size_t>(gif.GetWidth()) * gif.GetHeight() * 4);
        CxImageGIF last;
        if (decode(file, last, gif.GetNumFrames() - 1)) {
            EXPECT_EQ(last.GetWidth(), gif.GetWidth());
        }
    }
    EXPECT_GE(files, 281);
}
