#include "controls/CTavColorPicker.h"
#include "controls/ImageButton.h"
#include "dialogs/OpenProjectDialog.h"
#include "dialogs/ProjectNameDialog.h"
#include "dialogs/ProjectPropertiesDialog.h"
#include "dialogs/StandardProjectDialogs.h"
#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"
#include "document/ProjectIndex.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/ui/UiTestSupport.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using Mode = ProjectPropertiesDialog::Mode;

struct PropertiesFixture : ::testing::Test {
    LanguageTable texts;
    RecordingMessageSink sink;
    ScriptedFileChooser files;

    std::unique_ptr<ProjectPropertiesDialog> open(Mode mode, const ProjectProperties& values = {}) {
        auto dialog =
            std::make_unique<ProjectPropertiesDialog>(mode, values, QString(), texts, sink, files);
        dialog->show();
        return dialog;
    }
};

TEST_F(PropertiesFixture, NumbersAreCheckedInOrderWithTheRangePrompt) {
    // One field changed from valid values at a time; the prompt names the field's range.
    struct Row {
        const char* field;
        const char* text;
        const char* prompt; // empty: accepted
    };
    const Row rows[] = {
        {"width", "9", "Please enter an integer between 10 and 3200."},
        {"width", "3201", "Please enter an integer between 10 and 3200."},
        {"width", "10", ""},
        {"width", "3200", ""},
        {"height", "9", "Please enter an integer between 10 and 3200."},
        {"height", "abc", "Please enter an integer between 10 and 3200."},
        {"frameRate", "0", "Please enter an integer between 1 and 30."},
        {"frameRate", "31", "Please enter an integer between 1 and 30."},
        {"frameRate", "30", ""},
        {"duration", "10001", "Please enter an integer between 1 and 10000."},
        {"duration", "0", "Please enter an integer between 1 and 10000."},
        {"duration", "10000", ""},
    };
    for (const Row& row : rows) {
        ProjectProperties start;
        start.name = "Clouds";
        auto dialog = open(Mode::NewProject, start);
        auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(row.field));
        ASSERT_NE(edit, nullptr) << row.field;
        edit->setText(QString::fromLatin1(row.text));
        sink.clear();
        dialog->okButton().click();
        EXPECT_EQ(sink.only().text, row.prompt) << row.field << " " << row.text;
        EXPECT_EQ(dialog->result() == QDialog::Accepted, *row.prompt == 0)
            << row.field << " " << row.text;
        if (*row.prompt) {
            EXPECT_EQ(sink.only().caption, "Zentravo");
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(edit->selectedText(), edit->text()); // selected for the correction
        }
    }

    // Width and frame rate both wrong: only the width is reported (the order of the checks).
    ProjectProperties named;
    named.name = "Clouds";
    auto dialog = open(Mode::NewProject, named);
    dialog->widthEdit().setText(QStringLiteral("1"));
    dialog->frameRateEdit().setText(QStringLiteral("99"));
    dialog->durationEdit().setText(QStringLiteral("0"));
    sink.clear();
    dialog->okButton().click();
    EXPECT_EQ(sink.only().text, "Please enter an integer between 10 and 3200.");
}

TEST_F(PropertiesFixture, EmptyNameIsRefusedAndAcceptedValuesComeBack) {
    auto dialog = open(Mode::NewProject);
    EXPECT_TRUE(dialog->nameEdit().isVisible());
    EXPECT_EQ(dialog->size(), ProjectPropertiesDialog::kNewProjectSize);
    dialog->okButton().click();
    EXPECT_EQ(sink.only().text, texts.text(kTextEnterProjectName));
    EXPECT_EQ(sink.only().icon, MessageIcon::Information);
    EXPECT_TRUE(dialog->isVisible());

    QTest::keyClicks(&dialog->nameEdit(), QStringLiteral("Sunset"));
    dialog->widthEdit().setText(QStringLiteral(" 640 "));
    dialog->colourPicker().setColor(0x2068FF);
    files.paths.push_back(QStringLiteral("/pictures/sky.png"));
    dialog->browseButton().click();
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].filter,
              QString::fromLatin1(ProjectPropertiesDialog::kPictureFilter));
    EXPECT_EQ(dialog->pictureEdit().text(), QStringLiteral("/pictures/sky.png"));
    dialog->browseButton().click(); // cancelled: the path stays
    EXPECT_EQ(dialog->pictureEdit().text(), QStringLiteral("/pictures/sky.png"));

    // Tile, then Center: only Center stays checked.
    dialog->placementButton(1).click();
    dialog->placementButton(0).click();
    EXPECT_TRUE(dialog->placementButton(0).isChecked());
    EXPECT_FALSE(dialog->placementButton(1).isChecked());
    EXPECT_FALSE(dialog->placementButton(2).isChecked());
    dialog->placementButton(2).click();
    dialog->placementButton(2).click(); // a second click leaves it checked
    EXPECT_TRUE(dialog->placementButton(2).isChecked());

    dialog->okButton().click();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    const ProjectProperties& v = dialog->values();
    EXPECT_EQ(v.name, "Sunset");
    EXPECT_EQ(v.width, 640);
    EXPECT_EQ(v.height, 120);
    EXPECT_EQ(v.duration, 20);
    EXPECT_EQ(v.frameRate, 12);
    EXPECT_EQ(v.backgroundColor, 0x2068FFu);
    EXPECT_EQ(v.backgroundPicture, "/pictures/sky.png");
    EXPECT_EQ(v.placement, 2);
}

TEST_F(PropertiesFixture, PropertiesModeHidesTheNameAndKeepsIt) {
    ProjectProperties current{"Harbour", 500, 300, 80, 25, 0x00FF00, "/a.png", 1};
    auto dialog = std::make_unique<ProjectPropertiesDialog>(
        Mode::Properties, current, QString::fromStdString(texts.text(kTextAnimationProperties)),
        texts, sink, files);
    dialog->show();
    EXPECT_FALSE(dialog->nameEdit().isVisible());
    EXPECT_EQ(dialog->size(), QSize(450, 210));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Animation Properties"));
    EXPECT_EQ(dialog->widthEdit().text(), QStringLiteral("500"));
    EXPECT_TRUE(dialog->placementButton(1).isChecked());
    dialog->durationEdit().setText(QStringLiteral("120"));
    dialog->okButton().click();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(dialog->values().name, "Harbour");
    EXPECT_EQ(dialog->values().duration, 120);
    EXPECT_EQ(dialog->values().backgroundColor, 0x00FF00u);

    // A placement outside 0..2 checks none of the three.
    current.placement = 7;
    auto odd = open(Mode::Properties, current);
    for (int k = 0; k < 3; ++k)
        EXPECT_FALSE(odd->placementButton(k).isChecked());
}

TEST_F(PropertiesFixture, SecondNewProjectOpensWithTheFirstOnesValues) {
    QTemporaryDir root;
    const ProgramFolders folders(root.path().toStdString());
    Document document;
    ProjectEditor editor(document);
    StandardProjectDialogs dialogs(nullptr, folders, texts, sink, files);

    answerModal<ProjectPropertiesDialog>([](ProjectPropertiesDialog* d) {
        EXPECT_EQ(d->widthEdit().text(), QStringLiteral("320")); // the program's first values
        EXPECT_EQ(d->heightEdit().text(), QStringLiteral("120"));
        EXPECT_EQ(d->durationEdit().text(), QStringLiteral("20"));
        EXPECT_EQ(d->frameRateEdit().text(), QStringLiteral("12"));
        d->nameEdit().setText(QStringLiteral("First"));
        d->widthEdit().setText(QStringLiteral("640"));
        d->heightEdit().setText(QStringLiteral("480"));
        d->durationEdit().setText(QStringLiteral("50"));
        d->frameRateEdit().setText(QStringLiteral("25"));
        d->colourPicker().setColor(0x123456);
        d->okButton().click();
    });
    const std::optional<ProjectProperties> first =
        dialogs.newProject(editor.lastNewProjectProperties());
    ASSERT_TRUE(first);
    editor.newProject(*first);

    answerModal<ProjectPropertiesDialog>([](ProjectPropertiesDialog* d) {
        EXPECT_EQ(d->widthEdit().text(), QStringLiteral("640"));
        EXPECT_EQ(d->heightEdit().text(), QStringLiteral("480"));
        EXPECT_EQ(d->durationEdit().text(), QStringLiteral("50"));
        EXPECT_EQ(d->frameRateEdit().text(), QStringLiteral("25"));
        EXPECT_TRUE(d->nameEdit().text().isEmpty()); // name, colour and picture start afresh
        EXPECT_EQ(d->colourPicker().color(), 0xFFFFFFu);
        d->reject();
    });
    EXPECT_FALSE(dialogs.newProject(editor.lastNewProjectProperties()));
}

TEST_F(PropertiesFixture, NameDialogRefusesAnEmptyName) {
    QTemporaryDir root;
    const ProgramFolders folders(root.path().toStdString());
    StandardProjectDialogs dialogs(nullptr, folders, texts, sink, files);
    answerModal<ProjectNameDialog>([this](ProjectNameDialog* d) {
        d->accept();
        EXPECT_EQ(sink.only().text, texts.text(kTextEnterProjectName));
        EXPECT_TRUE(d->isVisible());
        QTest::keyClicks(&d->nameEdit(), QStringLiteral("Garden"));
        QTest::keyClick(&d->nameEdit(), Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.projectName(), std::optional<std::string>("Garden"));
    answerModal<ProjectNameDialog>([](ProjectNameDialog* d) { d->closeButton()->click(); });
    EXPECT_EQ(dialogs.projectName(), std::nullopt);
}

// A data folder whose index lists `names`; the projects in `files` have their project file.
struct IndexedProjects {
    QTemporaryDir root;
    ProgramFolders folders{root.path().toStdString()};
    LanguageTable texts;
    RecordingMessageSink sink;

    IndexedProjects(const std::vector<std::string>& names, const std::vector<std::string>& files) {
        ProjectIndex(folders, texts, sink).rewrite(names);
        for (const std::string& name : files) {
            std::filesystem::create_directories(folders.projectFolder(name));
            QFile file(QString::fromStdString(folders.projectFile(name)));
            file.open(QIODevice::WriteOnly);
            file.write("project");
        }
    }
    std::vector<std::string> index() { return ProjectIndex(folders, texts, sink).names(); }
};

TEST(OpenProjectDialogTest, ListsProjectsWithFilesAndDeletesWithConfirmation) {
    IndexedProjects data({"Alpha", "Beta", "Gamma"}, {"Alpha", "Gamma"}); // Beta's file is gone
    OpenProjectDialog dialog(data.folders, data.texts, data.sink);
    EXPECT_EQ(dialog.names(), (std::vector<std::string>{"Alpha", "Gamma"}));
    ASSERT_EQ(dialog.list().count(), 2);
    EXPECT_EQ(dialog.list().currentRow(), 0);
    EXPECT_EQ(dialog.list().item(1)->text(), QStringLiteral("Gamma"));

    // Refused confirmation: file and index untouched.
    dialog.list().setCurrentRow(1);
    data.sink.answer = MessageAnswer::No;
    dialog.deleteSelected();
    EXPECT_EQ(data.sink.only().text, data.texts.text(kTextConfirmDelete));
    EXPECT_EQ(data.sink.only().buttons, MessageButtons::YesNo);
    EXPECT_EQ(data.index().size(), 3u);
    EXPECT_TRUE(std::filesystem::exists(data.folders.projectFile("Gamma")));

    // Agreed: the file goes (its folder stays) and the index is rewritten from the list.
    data.sink.clear();
    data.sink.answer = MessageAnswer::Yes;
    dialog.deleteSelected();
    EXPECT_FALSE(std::filesystem::exists(data.folders.projectFile("Gamma")));
    EXPECT_TRUE(std::filesystem::exists(data.folders.projectFolder("Gamma")));
    EXPECT_EQ(data.index(), (std::vector<std::string>{"Alpha"}));
    ASSERT_EQ(dialog.list().count(), 1);

    // Nothing selected after a delete: OK and Delete answer with their messages.
    data.sink.clear();
    dialog.deleteSelected();
    EXPECT_EQ(data.sink.only().text, data.texts.text(kTextSelectProjectToDelete));
    EXPECT_EQ(data.sink.only().icon, MessageIcon::Exclamation);
    data.sink.clear();
    dialog.accept();
    EXPECT_EQ(data.sink.only().text, data.texts.text(kTextSelectProject));
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    dialog.list().setCurrentRow(0);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenName(), "Alpha");
}

TEST(OpenProjectDialogTest, AnIndexCutShortListsWhatWasReadAndSelectsNothing) {
    // Count 3, then three 260-byte names: 784 bytes when whole.
    struct Row {
        const char* what;
        std::function<void(QByteArray&)> damage;
        std::vector<std::string> listed;
        bool selected; // the first name starts selected
    };
    const Row rows[] = {
        {"whole", [](QByteArray&) {}, {"Alpha", "Beta", "Gamma"}, true},
        {"one byte more", [](QByteArray& b) { b.append('x'); }, {"Alpha", "Beta", "Gamma"}, true},
        {"last name one byte short", [](QByteArray& b) { b.chop(1); }, {"Alpha", "Beta"}, false},
        {"count above the names",
         [](QByteArray& b) { b[0] = 4; },
         {"Alpha", "Beta", "Gamma"},
         false},
        {"count alone", [](QByteArray& b) { b.truncate(4); }, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        IndexedProjects data({"Alpha", "Beta", "Gamma"}, {"Alpha", "Beta", "Gamma"});
        QFile index(QString::fromStdString(data.folders.projectIndexFile()));
        ASSERT_TRUE(index.open(QIODevice::ReadWrite));
        QByteArray bytes = index.readAll();
        ASSERT_EQ(bytes.size(), 4 + 3 * 260);
        row.damage(bytes);
        index.resize(0);
        index.seek(0);
        index.write(bytes);
        index.close();

        OpenProjectDialog dialog(data.folders, data.texts, data.sink);
        EXPECT_EQ(dialog.names(), row.listed);
        ASSERT_EQ(dialog.list().count(), int(row.listed.size()));
        const bool selected = !dialog.list().selectedItems().isEmpty();
        EXPECT_EQ(selected, row.selected && !row.listed.empty());
        if (selected)
            continue;
        // Nothing selected: OK asks for a choice and the dialog stays.
        dialog.accept();
        EXPECT_EQ(data.sink.only().text, data.texts.text(kTextSelectProject));
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
}

TEST(OpenProjectDialogTest, MissingIndexGivesAnEmptyListAndChoosingGoesThroughTheDialogs) {
    IndexedProjects data({}, {});
    std::filesystem::remove(data.folders.projectIndexFile());
    OpenProjectDialog empty(data.folders, data.texts, data.sink);
    EXPECT_EQ(empty.list().count(), 0);
    empty.accept();
    EXPECT_EQ(data.sink.only().text, data.texts.text(kTextSelectProject));

    IndexedProjects two({"One", "Two"}, {"One", "Two"});
    ScriptedFileChooser files;
    StandardProjectDialogs dialogs(nullptr, two.folders, two.texts, two.sink, files);
    answerModal<OpenProjectDialog>([](OpenProjectDialog* d) {
        d->list().setCurrentRow(1);
        d->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
    EXPECT_EQ(dialogs.chooseProject("One"), std::optional<std::string>("Two"));
}

} // namespace
