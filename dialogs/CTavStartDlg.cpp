#include "dialogs/CTavStartDlg.h"

#include "dialogs/StartProfile.h"
#include "document/LanguageTable.h"
#include "document/MessageTarget.h"
#include "document/ProgramFolders.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

std::string profilePath(const ProgramFolders& folders) {
    return folders.dataFolder() + StartProfile::kFileName;
}

} // namespace

CTavStartDlg::CTavStartDlg(const ProgramFolders& folders, const LanguageTable& texts,
                           MessageTarget* target, QWidget* parent)
    : RoundedDialog(parent, kSize), m_folders(folders), m_target(target),
      m_sample(new QRadioButton(QStringLiteral("Start with Sample Project"), this)),
      m_existing(new QRadioButton(QStringLiteral("Open an Existing Project"), this)),
      m_showBox(new QCheckBox(QStringLiteral("Show this screen at startup"), this)),
      m_startupTimer(new QTimer(this)) {
    setWindowTitle(QString::fromStdString(texts.text(kTextProductName)));
    setModal(false);
    m_sample->setObjectName(QStringLiteral("startWithSample"));
    m_existing->setObjectName(QStringLiteral("openExisting"));
    m_showBox->setObjectName(QStringLiteral("showAtStartup"));
    // Exclusive by hand: a choice outside 0 and 1 read from the profile checks neither.
    m_sample->setAutoExclusive(false);
    m_existing->setAutoExclusive(false);
    m_sample->setGeometry(70, 92, 300, 24);
    m_existing->setGeometry(70, 124, 300, 24);
    m_showBox->setGeometry(20, kSize.height() - 38, 250, 24);
    connect(m_sample, &QRadioButton::clicked, this, [this] { choose(SampleProject); });
    connect(m_existing, &QRadioButton::clicked, this, [this] { choose(ExistingProject); });
    connect(m_showBox, &QCheckBox::clicked, this, &CTavStartDlg::toggleShowAtStartup);

    m_ok = addButton(QString::fromStdString(texts.text(kTextOk)),
                     QRect(kSize.width() - 100, kSize.height() - 38, 80, 24));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CTavStartDlg::accept);

    m_startupTimer->setSingleShot(true);
    m_startupTimer->setTimerType(Qt::PreciseTimer); // never early, as a coarse timer may be
    m_startupTimer->setInterval(kStartupDelayMs);
    connect(m_startupTimer, &QTimer::timeout, this, &CTavStartDlg::showScreen);
    showChoice();
    m_showBox->setChecked(true);
}

bool CTavStartDlg::shownAtStartup(const ProgramFolders& folders) {
    return StartProfile::read(profilePath(folders)).showAtStartup != 0;
}

bool CTavStartDlg::scheduleAtStartup() {
    if (!shownAtStartup(m_folders))
        return false;
    m_startupTimer->start();
    return true;
}

bool CTavStartDlg::isScheduled() const {
    return m_startupTimer->isActive();
}

void CTavStartDlg::showScreen() {
    m_startupTimer->stop();
    m_choice = StartProfile::read(profilePath(m_folders)).choice;
    m_show = 1; // the box is shown checked
    showChoice();
    m_showBox->setChecked(true);
    centre(); // made with the main window, which has been placed since
    show();
    raise();
    activateWindow();
    m_ok->setFocus(Qt::OtherFocusReason);
}

void CTavStartDlg::showChoice() {
    m_sample->setChecked(m_choice == SampleProject);
    m_existing->setChecked(m_choice == ExistingProject);
}

void CTavStartDlg::choose(int choice) {
    m_choice = choice;
    showChoice();
    saveProfile();
}

void CTavStartDlg::toggleShowAtStartup() {
    m_show = m_show ? 0 : 1;
    m_showBox->setChecked(m_show != 0);
    saveProfile();
}

void CTavStartDlg::saveProfile() const {
    StartProfile profile;
    profile.showAtStartup = m_show;
    profile.choice = m_choice;
    profile.write(profilePath(m_folders)); // a profile that cannot be written is passed over
}

void CTavStartDlg::accept() {
    hide();
    setResult(Accepted);
    if (m_target)
        m_target->post(MainMessage::OpenSample, m_choice, 0);
}

void CTavStartDlg::reject() {
    hide();
    setResult(Rejected);
}

void CTavStartDlg::paintContents(QPainter& painter) {
    QFont heading = font();
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    heading.setBold(true);
    painter.setFont(heading);
    painter.setPen(QColor(0x2A, 0x37, 0x47));
    painter.drawText(QRect(20, 36, width() - 40, 40), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Welcome to Zentravo."));
    painter.setFont(font());
}
