#include "tools/cli/ThumbnailCommand.h"

#include "document/Document.h"
#include "export/ExportSource.h"
#include "symbols/FitSize.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ProjectArgument.h"

#include <QImageWriter>

#include <algorithm>
#include <string>

int ThumbnailCommand::run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    const CommandLine line(argc, argv, 2);
    int size = 0;
    if (!line.ok() || line.count() != 3 ||
        !CommandLine::parseInteger(line.at(2), 1, kMaxSize, size)) {
        if (!line.ok())
            err << "thumbnail: " << line.error() << "\n";
        else if (line.count() == 3)
            err << "thumbnail: SIZE must be a whole number from 1 to " << kMaxSize << "\n";
        err << "usage: zentravo-cli thumbnail PROJECT.vrn OUT.png SIZE\n";
        return 2;
    }
    Document document;
    if (!ProjectArgument::open(line.at(0), document, err))
        return 1;
    const QImage frame = ExportSource::take(document).drawFrame(0);
    QSize fitted = FitSize::fit(frame.size(), QSize(size, size));
    fitted = fitted.expandedTo(QSize(1, 1)); // a very long, thin stage keeps a pixel row
    const QImage thumbnail = fitted == frame.size() ? frame
                                                    : frame.scaled(fitted, Qt::IgnoreAspectRatio,
                                                                   Qt::SmoothTransformation);
    const std::string& output = line.at(1);
    QImageWriter writer(QString::fromLocal8Bit(output.c_str()), "png");
    if (!writer.write(thumbnail.convertToFormat(QImage::Format_RGB888))) {
        err << "thumbnail: cannot write " << output << ": " << writer.errorString().toStdString()
            << "\n";
        return 1;
    }
    out << output << "\n";
    return 0;
}
