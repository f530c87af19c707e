#include "tools/cli/LibraryCommand.h"

#include "tools/cli/CommandLine.h"
#include "document/ProgramFolders.h"
#include "symbols/Symbol.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/SymbolPictureImport.h"
#include "tools/cli/JsonText.h"

#include <QDir>
#include <QImage>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

int usage(std::ostream& err) {
    err << "usage: zentravo-cli library list [--dir DIR]\n"
           "       zentravo-cli library add PICTURE... [--dir DIR]\n"
           "       zentravo-cli library frames ID OUTDIR [--dir DIR]\n"
           "       zentravo-cli library delete ID [--dir DIR]\n";
    return 2;
}

int indexOf(const SymbolLibrary& library, const SymbolId& id) {
    for (int i = 0; i < library.count(); ++i)
        if (library.at(i).id == id)
            return i;
    return -1;
}

int list(SymbolLibrary& library, std::ostream& out) {
    library.load();
    out << "{\"folder\": " << JsonText::quoted(library.folder()) << ", \"symbols\": [";
    for (int i = 0; i < library.count(); ++i) {
        const SymbolEntry& entry = library.at(i);
        out << (i ? ", " : "") << "{\"id\": \"" << entry.id.toHex()
            << "\", \"frames\": " << entry.frameCount << ", \"sizes\": [";
        const std::optional<Symbol::Contents> contents =
            Symbol::readContents(library.symbolPath(entry.id));
        if (contents)
            for (std::size_t k = 0; k < contents->frames.size(); ++k)
                out << (k ? ", " : "") << "[" << contents->frames[k].width << ", "
                    << contents->frames[k].height << "]";
        out << "]}";
    }
    out << "]}\n";
    return 0;
}

int add(const SymbolLibrary& library, const std::vector<std::string>& pictures, std::ostream& out,
        std::ostream& err) {
    std::vector<QImage> frames;
    for (const std::string& path : pictures) {
        std::string refusal;
        const std::vector<QImage> loaded = SymbolPictureImport::load(path, &refusal);
        if (loaded.empty()) {
            if (!refusal.empty())
                err << "zentravo-cli: " << refusal << "\n";
            else
                err << "zentravo-cli: cannot load the picture " << path << "\n";
            return 1;
        }
        frames.insert(frames.end(), loaded.begin(), loaded.end());
    }
    const std::optional<SymbolId> id = SymbolLibrary::addSymbol(library.folder(), frames);
    if (!id) {
        err << "zentravo-cli: cannot write the symbol into " << library.folder() << "\n";
        return 1;
    }
    out << id->toHex() << "\n";
    return 0;
}

int frames(SymbolLibrary& library, const SymbolId& id, const std::string& outDir, std::ostream& out,
           std::ostream& err) {
    library.load();
    const int index = indexOf(library, id);
    if (index < 0) {
        err << "zentravo-cli: no symbol " << id.toHex() << " in " << library.folder() << "\n";
        return 1;
    }
    const QDir dir(QString::fromStdString(outDir));
    if (!QDir().mkpath(dir.path())) {
        err << "zentravo-cli: cannot create " << outDir << "\n";
        return 1;
    }
    const std::uint32_t count = library.at(index).frameCount;
    for (std::uint32_t k = 0; k < count; ++k) {
        const QImage frame = library.loadFrame(id, k);
        char name[32];
        std::snprintf(name, sizeof name, "frame_%03u.png", k);
        if (frame.isNull()) {
            err << "zentravo-cli: frame " << k << " of " << id.toHex() << " cannot be read\n";
            return 1;
        }
        if (!frame.convertToFormat(QImage::Format_RGBA8888).save(dir.filePath(name), "PNG")) {
            err << "zentravo-cli: cannot write " << dir.filePath(name).toStdString() << "\n";
            return 1;
        }
    }
    out << "{\"id\": \"" << id.toHex() << "\", \"frames\": " << count << "}\n";
    return 0;
}

int remove(SymbolLibrary& library, const SymbolId& id, std::ostream& err) {
    library.load();
    const int index = indexOf(library, id);
    if (index < 0) {
        err << "zentravo-cli: no symbol " << id.toHex() << " in " << library.folder() << "\n";
        return 1;
    }
    library.selectIndex(index);
    library.deleteSelected();
    return 0;
}

} // namespace

int LibraryCommand::run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    const CommandLine line(argc, argv, 2, {{"--dir"}, {}});
    if (!line.ok()) {
        err << "library: " << line.error() << "\n";
        return usage(err);
    }
    if (line.count() < 1)
        return usage(err);
    const std::string folder =
        line.value("--dir") ? *line.value("--dir") : ProgramFolders::forExecutable().actorsFolder();
    SymbolLibrary library(folder);
    const std::string& action = line.at(0);
    const std::size_t arguments = line.count() - 1;
    if (action == "list" && arguments == 0)
        return list(library, out);
    if (action == "add" && arguments >= 1)
        return add(library, {line.positional().begin() + 1, line.positional().end()}, out, err);
    if ((action == "frames" && arguments == 2) || (action == "delete" && arguments == 1)) {
        const std::optional<SymbolId> id = SymbolId::fromHex(line.at(1));
        if (!id) {
            err << "library: " << line.at(1) << " is not a symbol id (32 hex digits)\n";
            return 2;
        }
        return action == "frames" ? frames(library, *id, line.at(2), out, err)
                                  : remove(library, *id, err);
    }
    return usage(err);
}
