#include "app/HelpPage.h"

#include "document/MessageSink.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>

HelpPage::HelpPage(Opener opener)
    : m_opener(opener ? std::move(opener)
                      : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); })) {}

QString HelpPage::location() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {programFolder.filePath("help/index.html"),
                                     programFolder.filePath("../share/zentravo/help/index.html")})
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).absoluteFilePath();
    return QString();
}

void HelpPage::open(QWidget* parent, MessageSink& sink) {
    const QString path = location();
    if (path.isEmpty()) {
        sink.show("The help page is missing from the program's folder.", "Zentravo",
                  MessageIcon::Exclamation);
        return;
    }
    const QUrl page = QUrl::fromLocalFile(path);
    if (!m_opener(page))
        showOwnWindow(parent, page);
}

void HelpPage::showOwnWindow(QWidget* parent, const QUrl& page) {
    if (!m_window) {
        m_window = new QTextBrowser(parent);
        m_window->setWindowFlag(Qt::Window);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setWindowTitle(QObject::tr("Zentravo Help"));
        m_window->setOpenExternalLinks(true);
        m_window->resize(720, 640);
        if (parent)
            m_window->move(parent->geometry().center() - m_window->rect().center());
    }
    m_window->setSource(page);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
