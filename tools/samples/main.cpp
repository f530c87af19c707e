// zentravo-samples: writes the bundled sample projects template_1.vrn ... template_N.vrn,
// their background pictures and their animated preview pictures template_N.gif (exported by
// our own pipeline, scaled to fit a 300 x 150 cell) into the template folder beside the
// programs, or into the folder given as the only argument.
#include "tools/common/HeadlessEnvironment.h"
#include "document/Document.h"
#include "document/ProgramFolders.h"
#include "document/ProjectEditor.h"
#include "document/ProjectReader.h"
#include "document/ProjectStore.h"
#include "export/ExportJob.h"
#include "export/ExportSource.h"
#include "export/GifExporter.h"
#include "text/FontTextMeasurer.h"
#include "tools/samples/SampleProjects.h"

#include <QDir>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    HeadlessEnvironment::prepare();
    int applicationArgc = 1; // the folder argument is ours, not the platform's
    QGuiApplication app(applicationArgc, argv);
    const std::string folder =
        argc > 1 ? std::string(argv[1]) + "/" : ProgramFolders::forExecutable().templateFolder();
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        std::cerr << "zentravo-samples: cannot create " << folder << "\n";
        return 1;
    }
    const QString pictures = QDir(QString::fromStdString(folder)).absolutePath();
    FontTextMeasurer measurer;
    for (int number = 1; number <= SampleProjects::kCount; ++number) {
        Document document;
        ProjectEditor editor(document);
        if (!SampleProjects::build(number, editor, measurer, pictures)) {
            std::cerr << "zentravo-samples: cannot build sample " << number << "\n";
            return 1;
        }
        const std::string base = folder + "template_" + std::to_string(number);
        bool written = false;
        {
            auto lock = document.lock();
            written = ProjectStore::writeFile(base + ".vrn", lock.project(), lock.symbols());
        }
        if (!written) {
            std::cerr << "zentravo-samples: cannot write " << base << ".vrn\n";
            return 1;
        }
        // The preview: the whole animation as the written file shows it (its background
        // found beside it), scaled down to fit the chooser's cell.
        std::optional<LoadedProject> loaded = ProjectReader::readFile(base + ".vrn");
        if (!loaded) {
            std::cerr << "zentravo-samples: cannot read " << base << ".vrn back\n";
            return 1;
        }
        Document saved;
        ProjectEditor(saved).openLoaded(std::move(loaded->project), std::move(loaded->symbols));
        const ProjectHeader h = saved.lock().project().header;
        const float zoom = std::min({300.0f / h.width, 150.0f / h.height, 1.0f});
        GifExporter preview(0);
        const ExportJob::Result result =
            ExportJob::run(ExportSource::take(saved, zoom), preview, base + ".gif", {});
        if (!result.completed) {
            std::cerr << "zentravo-samples: cannot write " << base << ".gif: " << result.error
                      << "\n";
            return 1;
        }
        std::cout << base << ".vrn\n";
    }
    return 0;
}
