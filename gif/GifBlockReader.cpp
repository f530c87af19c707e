#include "gif/GifBlockReader.h"

#include "gif/CxFile.h"

GifBlockReader::Block GifBlockReader::next() {
    while (true) {
        const int c = m_fp->GetC();
        if (c < 0)
            return Block::End;
        if (!m_previousWasZero) {
            m_previousWasZero = c == 0;
            continue;
        }
        // Every block ends with a 0 terminator, so after one the next byte is an introducer.
        if (c == ';')
            return Block::Trailer;
        if (c == '!')
            return Block::Extension;
        if (c == ',') {
            // Image descriptor: left top width height (u16 each) packed(u8), then the local
            // colour table when packed bit 7 is set.
            if (m_fp->Read(&m_image, sizeof m_image, 1) != 1)
                return Block::End;
            if (hasLocalTable() && !readColorTable(m_fp, m_image.pf, &m_local))
                return Block::End;
            return Block::Image;
        }
        m_previousWasZero = c == 0;
    }
}

bool GifBlockReader::skipExtension() {
    if (m_fp->GetC() < 0) // label
        return false;
    skipSubBlocks(m_fp);
    return true;
}

bool GifBlockReader::skipImageData() {
    if (m_fp->GetC() < 0) // LZW minimum code size
        return false;
    skipSubBlocks(m_fp);
    return true;
}

bool GifBlockReader::readColorTable(CxFile* fp, std::uint8_t flags, tag_TabCol* table) {
    const int count = 1 << ((flags & 7) + 1);
    table->sogct = static_cast<std::uint16_t>(count);
    table->colres = static_cast<std::uint16_t>(((flags & 0x70) >> 3) + 1);
    return fp->Read(table->paleta, 3, static_cast<std::size_t>(count)) ==
           static_cast<std::size_t>(count);
}

void GifBlockReader::skipSubBlocks(CxFile* fp) {
    int n;
    while ((n = fp->GetC()) > 0) {
        if (!fp->Seek(n, SEEK_CUR))
            return;
    }
}
