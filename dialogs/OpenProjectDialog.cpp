#include "dialogs/OpenProjectDialog.h"

#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/ProjectIndex.h"

#include <QListWidget>
#include <QPushButton>

OpenProjectDialog::OpenProjectDialog(const ProgramFolders& folders, const LanguageTable& texts,
                                     MessageSink& sink, QWidget* parent)
    : RoundedDialog(parent, kSize), m_folders(folders), m_texts(texts), m_sink(sink),
      m_list(new QListWidget(this)) {
    setWindowTitle(QString::fromStdString(texts.text(kTextOpenProject)));
    m_list->setObjectName(QStringLiteral("projects"));
    m_list->setGeometry(20, 36, kSize.width() - 40, kSize.height() - 86);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &OpenProjectDialog::accept);

    const int buttonsTop = kSize.height() - 40;
    QPushButton* remove =
        addButton(QString::fromStdString(texts.text(kTextDelete)), QRect(20, buttonsTop, 80, 24));
    remove->setObjectName(QStringLiteral("delete"));
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, this, &OpenProjectDialog::deleteSelected);
    QPushButton* ok = addButton(QString::fromStdString(texts.text(kTextOk)),
                                QRect(kSize.width() - 190, buttonsTop, 80, 24));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &OpenProjectDialog::accept);
    QPushButton* cancel = addButton(QString::fromStdString(texts.text(kTextCancel)),
                                    QRect(kSize.width() - 100, buttonsTop, 80, 24));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &OpenProjectDialog::reject);

    // Listing shows no messages; only a delete asks and reports. An index cut short lists the
    // names read before the cut and selects none of them.
    bool whole = true;
    m_names = ProjectIndex(m_folders, m_texts, m_sink).openableNames(&whole);
    showNames();
    if (whole && !m_names.empty())
        m_list->setCurrentRow(0);
    m_list->setFocus(Qt::OtherFocusReason);
}

void OpenProjectDialog::showNames() {
    m_list->clear();
    for (const std::string& name : m_names)
        m_list->addItem(QString::fromStdString(name));
}

void OpenProjectDialog::accept() {
    const int row = m_list->selectedItems().isEmpty() ? -1 : m_list->currentRow();
    if (row < 0 || row >= int(m_names.size())) {
        m_sink.show(m_texts.text(kTextSelectProject), m_texts.text(kTextProductName),
                    MessageIcon::Information);
        return;
    }
    m_chosen = m_names[std::size_t(row)];
    RoundedDialog::accept();
}

void OpenProjectDialog::deleteSelected() {
    const int row = m_list->selectedItems().isEmpty() ? -1 : m_list->currentRow();
    ProjectIndex index(m_folders, m_texts, m_sink);
    const std::size_t before = m_names.size();
    index.remove(m_names, row);
    if (m_names.size() != before)
        showNames(); // the deleted name is gone and nothing is selected
}
