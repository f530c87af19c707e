// Not a test: a window with four library panels side by side to take screenshots of under
// Xvfb (xvfb-run -a build/bin/zentravo_library_screenshot, then import -window root shot.png):
// the starter symbols as a new user sees them, a selection, a drag in progress with its drop
// bar, and a rubber band in a library long enough to scroll. The panels are 180 pixels wide,
// as in the main window.
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/ProgramFolders.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/SymbolStarterArt.h"
#include "symbols/ui/SymbolLibraryPanel.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class PrintingSink : public MessageSink {
public:
    MessageAnswer show(std::string_view text, std::string_view, MessageIcon,
                       MessageButtons) override {
        std::printf("message: %.*s\n", int(text.size()), text.data());
        return MessageAnswer::No;
    }
};

void send(QWidget* panel, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), panel->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(panel, &event);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir starters, longer;
    const ProgramFolders startersFolders(starters.path().toStdString());
    const ProgramFolders longerFolders(longer.path().toStdString());
    // The longer library: the starter set three times over.
    for (int copy = 0; copy < 3; ++copy)
        for (const std::vector<QImage>& frames : SymbolStarterArt::all())
            SymbolLibrary::addSymbol(longerFolders.actorsFolder(), frames);
    const LanguageTable texts;
    PrintingSink sink;

    QWidget window;
    window.setWindowTitle("Symbol library");
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.resize(4 * 200 + 10, 470);
    const char* captions[] = {"Starter symbols", "Selection", "Drag in progress", "Rubber band"};
    SymbolLibraryPanel* panels[4];
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(captions[i], &window);
        label->setGeometry(10 + i * 200, 8, 180, 20);
        panels[i] = new SymbolLibraryPanel(i == 3 ? longerFolders : startersFolders, texts, nullptr,
                                           sink, &window);
        panels[i]->setGeometry(10 + i * 200, 32, 180, 420);
    }
    window.show();

    // Selection: two symbols, the second one current.
    panels[1]->selectIndex(1);
    panels[1]->library().setSelected(4, true);
    // A drag of the fifth symbol over the right half of the first, not yet released.
    SymbolLibraryGrid& drag = panels[2]->grid();
    send(panels[2], QEvent::MouseButtonPress, drag.pictureRect(4).center());
    for (int step = 0; step < 3; ++step)
        send(panels[2], QEvent::MouseMove, drag.pictureRect(0).center() + QPoint(15 + step, 0));
    // A rubber band from an inset between cells down and to the left, scrolled once.
    panels[3]->grid().setScroll(40);
    send(panels[3], QEvent::MouseButtonPress, QPoint(112, 140));
    send(panels[3], QEvent::MouseMove, QPoint(30, 250));

    // Quits by itself after `seconds` when given (for scripted screenshots).
    if (argc > 1)
        QTimer::singleShot(std::atoi(argv[1]) * 1000, &app, &QApplication::quit);
    return app.exec();
}
