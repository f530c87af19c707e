#pragma once

#include <QByteArray>

#include <string>

// AtomicFile: small files saved whole or not at all: the bytes go to "<path>.saving", which is
// renamed over `path` only once every byte was written; a failure removes the temporary file
// and leaves the old one as it was.
class AtomicFile {
public:
    static bool replace(const std::string& path, const QByteArray& bytes);
};
