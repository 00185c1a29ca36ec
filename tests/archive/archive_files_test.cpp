// Saving, loading and exporting from the archive: the file dialogs, what reaches the files,
// and how a file that cannot be used is reported.

#include <QFile>
#include <QFileInfo>

#include "archive_fixture.h"
#include "csv_export.h"
#include "unit_commands.h"

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray asBytes(const MemoryImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
}

}  // namespace

using ArchiveFilesTest = ArchiveFixture;

TEST_F(ArchiveFilesTest, SaveWritesTheDialogsCopyWithItsSettings) {
    dialog->accessTime = 0;
    dialog->recordSize = 40;
    dialog->relayInverted = 1;
    dialog->mainRelayInverted = 0;
    stepper->tick();
    // A name with letters of the Czech alphabet reaches the file system unchanged.
    const QString file = path(QStringLiteral("klíče.zrd"));
    screen.fileAnswers.push_back(file.toStdString());
    click(ArchiveDialog::kCopyToPcButton);

    ASSERT_EQ(screen.fileFilters.size(), 1u);
    EXPECT_EQ(screen.fileFilters[0].description, "ZYL data (*.zrd)");
    EXPECT_EQ(screen.fileFilters[0].pattern, "*.zrd");
    EXPECT_EQ(screen.fileFilters[0].extension, "zrd");
    EXPECT_EQ(contents(file), QByteArray("\x00\x28"
                                         "10",
                                         4) +
                                  asBytes(randomImage(1)));
    // No log line, no exchange with the unit, the keep-alive goes on where it was.
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
    EXPECT_EQ(dialog->step, 1);
    EXPECT_TRUE(boxTexts().isEmpty());
}

TEST_F(ArchiveFilesTest, CancelledSaveWritesNothing) {
    click(ArchiveDialog::kCopyToPcButton);
    click(ArchiveDialog::kExportButton);
    EXPECT_EQ(screen.fileFilters.size(), 2u);
    EXPECT_TRUE(dir.entryCount() == 0);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ArchiveFilesTest, FailedSaveIsReportedAndKeepsTheOldFile) {
    // A folder in the way of the file: nothing can replace it.
    const QString file = path(QStringLiteral("taken.zrd"));
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("taken.zrd"))));
    screen.fileAnswers.push_back(file.toStdString());
    click(ArchiveDialog::kCopyToPcButton);

    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].startsWith(QStringLiteral("Soubor nelze uložit: ")))
        << logLines()[0].toStdString();
    EXPECT_EQ(boxTexts(), logLines());
    EXPECT_TRUE(QFileInfo(file).isDir());
}

TEST_F(ArchiveFilesTest, ExportWritesTheTableAndLogsOnlyAfterAGoodWrite) {
    dialog->recordSize = 15;
    const QString file = path(QStringLiteral("keys.csv"));
    screen.fileAnswers.push_back(file.toStdString());
    click(ArchiveDialog::kExportButton);

    ASSERT_EQ(screen.fileFilters.size(), 1u);
    EXPECT_EQ(screen.fileFilters[0].description, " (*.csv)");
    EXPECT_EQ(screen.fileFilters[0].pattern, "*.csv");
    EXPECT_EQ(screen.fileFilters[0].extension, "csv");
    const std::string table = csvTable(randomImage(1), 15);
    EXPECT_EQ(contents(file), QByteArray(table.data(), static_cast<qsizetype>(table.size())));
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("Data byla exportována do souboru")});
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
}

TEST_F(ArchiveFilesTest, FailedExportLogsNoSuccess) {
    screen.fileAnswers.push_back(path(QStringLiteral("missing/keys.csv")).toStdString());
    click(ArchiveDialog::kExportButton);

    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].startsWith(QStringLiteral("Soubor nelze uložit: ")));
    EXPECT_EQ(boxTexts(), logLines());
}

TEST_F(ArchiveFilesTest, LoadTakesTheFileAndStartsTheWrite) {
    const QString file = imageFile(QStringLiteral("in.zrd"), {120, 250, 0, 1}, randomImage(11));
    loadAndWrite(file);

    ASSERT_EQ(screen.fileFilters.size(), 1u);
    EXPECT_EQ(screen.fileFilters[0].description, "ZYL data (*.zrd)");
    EXPECT_EQ(dialog->image, randomImage(11));
    EXPECT_EQ(dialog->accessTime, 120);
    EXPECT_EQ(dialog->recordSize, 250);
    EXPECT_EQ(dialog->relayInverted, 0);
    EXPECT_EQ(dialog->mainRelayInverted, 1);
    EXPECT_EQ(dialog->imageChanged, 1);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("Soubor načten")});
    EXPECT_EQ(activeTimer(), ArchiveDialog::kWriteTimer);
    EXPECT_EQ(dialog->step, 0);
}

struct BadFileCase {
    const char* name;
    int length;  // bytes of a good file kept
    QString logLine;
};

void PrintTo(const BadFileCase& c, std::ostream* out) {
    *out << c.name;
}

class DamagedFileTest : public ArchiveFixture, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(DamagedFileTest, IsLoggedAndChangesNothing) {
    const BadFileCase& c = GetParam();
    const QString good = imageFile(QStringLiteral("good.zrd"), {9, 30, 1, 1}, randomImage(12));
    const QString bad = path(QStringLiteral("bad.zrd"));
    writeBytes(bad, contents(good).left(c.length));
    stepper->tick();

    loadAndWrite(bad);

    EXPECT_EQ(logLines(), QStringList{c.logLine});
    EXPECT_TRUE(boxTexts().isEmpty());
    EXPECT_EQ(dialog->image, randomImage(1));
    EXPECT_EQ(dialog->accessTime, 5);
    EXPECT_EQ(dialog->recordSize, 65);
    EXPECT_EQ(dialog->imageChanged, 0);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
    EXPECT_EQ(dialog->step, 1);
    EXPECT_EQ(sent(), std::vector<std::uint8_t>{unit::kKeepAlive});
}

INSTANTIATE_TEST_SUITE_P(
    Archive, DamagedFileTest,
    ::testing::Values(
        BadFileCase{"ThreeBytes", 3, QStringLiteral("Chyba 510 - Soubor je poškozen")},
        BadFileCase{"HeaderOnly", 4, QStringLiteral("Chyba 511 - Soubor je poškozen na pozici 4")},
        BadFileCase{"OneByteShort", 65539, QStringLiteral("Chyba 511 - Soubor je poškozen na pozici 65539")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ArchiveFilesTest, HeaderOutOfRangeIsADamagedFile) {
    const QString file = path(QStringLiteral("range.zrd"));
    writeBytes(file, QByteArray("\x79\x0F"
                                "00",
                                4) +
                         asBytes(randomImage(2)));
    loadAndWrite(file);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("Chyba 510 - Soubor je poškozen")});
    EXPECT_EQ(dialog->imageChanged, 0);
}

TEST_F(ArchiveFilesTest, FileThatCannotBeOpenedIsReported) {
    loadAndWrite(path(QStringLiteral("nowhere.zrd")));

    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].startsWith(QStringLiteral("Soubor nelze otevřít: ")));
    EXPECT_EQ(boxTexts(), logLines());
    EXPECT_EQ(dialog->imageChanged, 0);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
}

TEST_F(ArchiveFilesTest, CancelledLoadChangesNothing) {
    // First the confirmation is refused, then the file dialog is cancelled.
    confirmAnswer = false;
    click(ArchiveDialog::kCopyToUnitButton);
    EXPECT_TRUE(screen.fileFilters.empty());
    confirmAnswer = true;
    click(ArchiveDialog::kCopyToUnitButton);
    EXPECT_EQ(screen.fileFilters.size(), 1u);

    EXPECT_EQ(confirmations.size(), 2);
    EXPECT_EQ(dialog->image, randomImage(1));
    EXPECT_EQ(dialog->imageChanged, 0);
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
}

TEST_F(ArchiveFilesTest, FailedLoadAfterAGoodOneKeepsTheFlag) {
    loadAndWrite(imageFile(QStringLiteral("one.zrd"), {9, 30, 1, 1}, randomImage(13)));
    stepper->runUntil([&] { return settingsWritten(); }, 1000);
    ASSERT_EQ(buttons(), kAllEnabled);
    loadAndWrite(path(QStringLiteral("nowhere.zrd")));
    EXPECT_EQ(dialog->imageChanged, 1);
    EXPECT_EQ(dialog->image, randomImage(13));
}
