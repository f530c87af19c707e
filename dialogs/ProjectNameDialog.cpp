#include "dialogs/ProjectNameDialog.h"

#include "document/LanguageTable.h"
#include "document/MessageSink.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

ProjectNameDialog::ProjectNameDialog(const LanguageTable& texts, MessageSink& sink, QWidget* parent)
    : RoundedDialog(parent, kSize), m_texts(texts), m_sink(sink), m_name(new QLineEdit(this)) {
    setWindowTitle(QString::fromStdString(texts.text(kTextSaveProject)));
    m_name->setObjectName(QStringLiteral("projectName"));
    m_name->setGeometry(130, 44, 250, 22);
    QPushButton* ok =
        addButton(QString::fromStdString(texts.text(kTextOk)), QRect(210, 90, 80, 24));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ProjectNameDialog::accept);
    QPushButton* cancel =
        addButton(QString::fromStdString(texts.text(kTextCancel)), QRect(300, 90, 80, 24));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &ProjectNameDialog::reject);
    m_name->setFocus(Qt::OtherFocusReason);
}

void ProjectNameDialog::accept() {
    if (m_name->text().isEmpty()) {
        m_sink.show(m_texts.text(kTextEnterProjectName), m_texts.text(kTextProductName),
                    MessageIcon::Information);
        m_name->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_accepted = m_name->text().toStdString();
    RoundedDialog::accept();
}

void ProjectNameDialog::paintContents(QPainter& painter) {
    painter.drawText(QRect(20, 44, 105, 22), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Project Name"));
}
