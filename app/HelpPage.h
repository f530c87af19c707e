#pragma once

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QUrl>

#include <functional>

class MessageSink;
class QWidget;

// HelpPage: the help command. The page ships beside the program (build folder) or in its
// shared data folder (an installed copy); it opens with the desktop's handler for HTML, or,
// when the desktop has none, in a browser window of our own.
class HelpPage {
public:
    // How a URL is handed to the desktop; false when it has no handler.
    using Opener = std::function<bool(const QUrl&)>;

    explicit HelpPage(Opener opener = {});

    // The page's path, or empty when it is missing.
    static QString location();
    // Opens the page; a missing page is reported through `sink`.
    void open(QWidget* parent, MessageSink& sink);
    // The window of our own, while it is open.
    QTextBrowser* window() const { return m_window; }

private:
    void showOwnWindow(QWidget* parent, const QUrl& page);

    Opener m_opener;
    QPointer<QTextBrowser> m_window;
};
