// The program's own file dialogs (Desktop's, not a test's): the name a user chooses, the
// default extension added to a name to save under that has none, and to a name to open
// only when the name itself is no file but the name with the extension is.

#include <gtest/gtest.h>

#include <fstream>

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

#include "desktop.h"
#include "modal_watch.h"
#include "temp_folder.h"

namespace {

struct FileNameRow {
    const char* name;
    bool save;
    const char* existing;  // a file in the folder beforehand, or nullptr
    const char* chosen;
    const char* returned;

    friend void PrintTo(const FileNameRow& row, std::ostream* os) { *os << row.name; }
};

class FileDialogName : public testing::TestWithParam<FileNameRow> {};

TEST_P(FileDialogName, IsTheChosenNameOrTheNameWithTheDefaultExtension) {
    const FileNameRow& row = GetParam();
    const TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    if (row.existing != nullptr) {
        std::ofstream(folder / row.existing).put('x');
    }
    // The user types the name into the dialog's name field and presses Enter.
    const ModalWatch<QFileDialog> watch([&](QFileDialog* dialog) {
        auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (nameField == nullptr) {
            ADD_FAILURE() << "the file dialog has no name field";
            dialog->reject();
            return;
        }
        nameField->setText(QString::fromStdString(folder / row.chosen));
        static_cast<QDialog*>(dialog)->accept();  // as Enter in the name field
    });
    Desktop desktop;
    const Desktop::FileFilter filter{"ZYL data (*.zrd)", "*.zrd", "zrd"};
    const QString path =
        row.save ? desktop.saveFileName(nullptr, filter) : desktop.openFileName(nullptr, filter);
    EXPECT_EQ(QDir::cleanPath(path).toStdString(),
              QDir::cleanPath(QString::fromStdString(folder / row.returned)).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileDialogName,
    testing::Values(FileNameRow{"OpenFileWithoutExtension", false, "zaloha", "zaloha", "zaloha"},
                    FileNameRow{"OpenFileWithExtension", false, "zaloha.zrd", "zaloha.zrd", "zaloha.zrd"},
                    FileNameRow{"OpenNameOfTheFileWithTheExtension", false, "zaloha.zrd", "zaloha",
                                "zaloha.zrd"},
                    FileNameRow{"OpenNameOfNoFile", false, nullptr, "chybi", "chybi"},
                    FileNameRow{"SaveNameWithoutExtension", true, nullptr, "zaloha", "zaloha.zrd"},
                    FileNameRow{"SaveNameWithAnExtension", true, nullptr, "zaloha.bak", "zaloha.bak"},
                    FileNameRow{"SaveOverFileWithoutExtension", true, "zaloha", "zaloha", "zaloha.zrd"}),
    [](const testing::TestParamInfo<FileNameRow>& info) { return info.param.name; });

}  // namespace
