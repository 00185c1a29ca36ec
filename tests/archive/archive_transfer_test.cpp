// The archive's exchanges with the unit, stepped tick by tick against the simulated unit.

#include <QPushButton>
#include <QRegularExpression>

#include "archive_fixture.h"
#include "unit_commands.h"

namespace {

Fault fault(FaultKind kind, std::uint8_t command, int nth = 0, int occurrence = 0) {
    return Fault{kind, command, nth, occurrence};
}

QString fatalText(int code) {
    return QStringLiteral("Zásadní chyba číslo %1!\r\nProsím vypněte a zapněte ZYL a tento program.")
        .arg(code);
}

QString disconnectMessage(int code) {
    return QStringLiteral("Chyba %1 - ZYL odpojeno.").arg(code);
}

const QRegularExpression kMarksOnly(QStringLiteral("^\\**$"));

}  // namespace

// --- Keep-alive ------------------------------------------------------------------------

using KeepAliveTest = ArchiveFixture;

TEST_F(KeepAliveTest, PingsEveryOtherTickWhileTheUnitAnswers) {
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
    EXPECT_EQ(period(ArchiveDialog::kKeepAliveTimer), 1000);
    for (int i = 0; i < 20; ++i) {
        stepper->tick();
    }
    EXPECT_EQ(sent(), std::vector<std::uint8_t>(10, unit::kKeepAlive));
    EXPECT_EQ(dialog->missCount, 0);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
    EXPECT_TRUE(boxTexts().isEmpty());
}

TEST_F(KeepAliveTest, ThirdSilentCycleInARowReportsLostLink) {
    // Cycle 0 is answered, then the unit falls silent.
    h.unit.setFault(fault(FaultKind::Silence, unit::kKeepAlive, 0, 1));
    stepper->tick();
    stepper->tick();
    const auto lastAnswer = h.port.now();

    stepper->runToEnd(100);

    EXPECT_EQ(h.port.now() - lastAnswer, 6000);
    EXPECT_EQ(sentCount(unit::kKeepAlive), 4);
    EXPECT_TRUE(stopped());
    EXPECT_EQ(logLines().back(), disconnectMessage(600));
    EXPECT_EQ(boxTexts(), QStringList{disconnectMessage(600)});
    EXPECT_EQ(buttons(), kAfterFailure);
}

TEST_F(KeepAliveTest, AnswerAfterTwoSilentCyclesStartsTheCountAgain) {
    // Cycles 0 and 1 go unanswered, 2 is answered, and from cycle 3 on the unit is silent:
    // the link is lost only at the end of cycle 5.
    h.unit.setFault(fault(FaultKind::DropEcho, unit::kKeepAlive, 0, 0));
    h.unit.addFault(fault(FaultKind::DropEcho, unit::kKeepAlive, 0, 1));
    h.unit.addFault(fault(FaultKind::Silence, unit::kKeepAlive, 0, 3));

    stepper->tick();
    stepper->tick();
    stepper->tick();
    stepper->tick();
    EXPECT_EQ(dialog->missCount, 2);
    stepper->tick();
    stepper->tick();
    EXPECT_EQ(dialog->missCount, 0);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);

    stepper->runToEnd(100);
    EXPECT_EQ(sentCount(unit::kKeepAlive), 6);
    EXPECT_EQ(logLines().back(), disconnectMessage(600));
}

TEST_F(KeepAliveTest, RefusedKeepAliveLeavesTheDialogOpenWithoutTimer) {
    screen.refusedTimers.insert(ArchiveDialog::kKeepAliveTimer);
    ArchiveDialog other(h.dialog);
    FakeWindow otherWindow(other, screen);
    otherWindow.init();
    EXPECT_FALSE(otherWindow.ended());
    EXPECT_EQ(otherWindow.activeTimer(), 0);
    EXPECT_EQ(other.timerId, 0);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Timer error!")});
}

TEST_F(KeepAliveTest, FourButtonStates) {
    dialog->disableButtons();
    EXPECT_EQ(buttons(), kAllDisabled);
    dialog->enableAfterFailure();
    EXPECT_EQ(buttons(), kAfterFailure);
    dialog->enableButtons();
    EXPECT_EQ(buttons(), kAllEnabled);
    dialog->failSettingsStep(306);
    EXPECT_EQ(buttons(), kAfterSettingsFailure);
    EXPECT_TRUE(stopped());
}

// --- Erase -----------------------------------------------------------------------------

// An erase that sends eleven progress bytes, one per tick after the acceptance's (a byte
// that came with the acceptance would not be counted).
class EraseTest : public ArchiveFixture {
protected:
    EraseTest() : ArchiveFixture(UnitModel::Config{.eraseMs = 1700, .progressIntervalMs = 150}) {}

    void SetUp() override {
        ArchiveFixture::SetUp();
        h.dialog.state().image = randomImage(2);
        h.dialog.rebuildKeyList();
    }
};

TEST_F(EraseTest, EraseOfAllKeysLogsMarksAndClearsTheMainImage) {
    click(ArchiveDialog::kEraseKeysButton);
    EXPECT_EQ(confirmations, QStringList{QStringLiteral("Chci smazat VŠECHNY klíče z ZYL")});
    EXPECT_EQ(activeTimer(), ArchiveDialog::kEraseTimer);
    EXPECT_EQ(period(ArchiveDialog::kEraseTimer), 150);

    stepper->tick();
    EXPECT_EQ(buttons(), kAllDisabled);
    stepper->runUntil([&] { return activeTimer() != ArchiveDialog::kEraseTimer; }, 100);

    const std::vector<std::uint8_t> erase{unit::kEraseKeys, unit::kEraseMiddle, unit::kEraseKeysEnd};
    EXPECT_EQ(sent(), erase);
    EXPECT_EQ(h.unit.keyErasures(), 1);
    EXPECT_EQ(dialog->keysErased, 1);
    EXPECT_EQ(dialog->progressCount, 5);
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("*"), QStringLiteral("Všechny klíče byly smazány")}));
    EXPECT_EQ(h.dialog.state().image, MemoryImage{});
    EXPECT_EQ(h.dialog.rowCount(MainDialog::kKeyListView), 0);
    // The dialog's own copy still holds the keys, for a save or an export afterwards.
    EXPECT_EQ(dialog->image, randomImage(1));
    EXPECT_EQ(buttons(), kAllEnabled);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
    EXPECT_EQ(period(ArchiveDialog::kKeepAliveTimer), 1000);
    EXPECT_EQ(dialog->step, 0);
}

TEST_F(EraseTest, EraseOfAllLogsLeavesKeysAndMainImage) {
    click(ArchiveDialog::kEraseLogsButton);
    EXPECT_EQ(confirmations, QStringList{QStringLiteral("Chci smazat VŠECHNY logy z ZYL")});
    stepper->runUntil([&] { return activeTimer() != ArchiveDialog::kEraseTimer; }, 100);

    const std::vector<std::uint8_t> erase{unit::kEraseLogs, unit::kEraseMiddle, unit::kEraseLogsEnd};
    EXPECT_EQ(sent(), erase);
    EXPECT_EQ(h.unit.logErasures(), 1);
    EXPECT_EQ(dialog->keysErased, 0);
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("*"), QStringLiteral("Všechny logy byly smazány")}));
    EXPECT_EQ(h.dialog.state().image, randomImage(2));
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
}

TEST_F(EraseTest, ProgressCountCarriesIntoTheNextErase) {
    click(ArchiveDialog::kEraseKeysButton);
    stepper->runUntil([&] { return activeTimer() != ArchiveDialog::kEraseTimer; }, 100);
    ASSERT_EQ(dialog->progressCount, 5);

    click(ArchiveDialog::kEraseLogsButton);
    stepper->runUntil([&] { return dialog->step == 4; }, 10);
    EXPECT_EQ(logLines().back(), QString());
    // The first progress byte of this erase is the sixth since the last mark.
    stepper->tick();
    EXPECT_EQ(logLines().back(), QStringLiteral("*"));

    stepper->runUntil([&] { return activeTimer() != ArchiveDialog::kEraseTimer; }, 100);
    // 5 + 11 progress bytes: two marks, four left over.
    EXPECT_EQ(dialog->progressCount, 4);
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("*"), QStringLiteral("Všechny klíče byly smazány"),
                                       QStringLiteral("**"), QStringLiteral("Všechny logy byly smazány")}));
}

TEST_F(EraseTest, KeepAliveAfterAnEraseGoesOnFromItsCount) {
    dialog->missCount = 2;
    click(ArchiveDialog::kEraseLogsButton);
    stepper->runUntil([&] { return activeTimer() == ArchiveDialog::kKeepAliveTimer; }, 100);
    EXPECT_EQ(dialog->missCount, 2);
    h.unit.setFault(fault(FaultKind::Silence, unit::kKeepAlive));
    stepper->tick();
    stepper->tick();
    EXPECT_TRUE(stopped());
    EXPECT_EQ(logLines().back(), disconnectMessage(600));
}

TEST_F(EraseTest, CancelledConfirmationChangesNothing) {
    confirmAnswer = false;
    stepper->tick();
    click(ArchiveDialog::kEraseKeysButton);
    click(ArchiveDialog::kEraseLogsButton);
    EXPECT_EQ(confirmations.size(), 2);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kKeepAliveTimer);
    EXPECT_EQ(dialog->step, 1);
    EXPECT_EQ(buttons(), kAllEnabled);
    stepper->tick();
    EXPECT_EQ(sent(), std::vector<std::uint8_t>{unit::kKeepAlive});
}

TEST_F(EraseTest, RefusedTimerShowsTimerErrorAndRunsNone) {
    screen.refusedTimers.insert(ArchiveDialog::kEraseTimer);
    click(ArchiveDialog::kEraseKeysButton);
    EXPECT_TRUE(stopped());
    EXPECT_EQ(dialog->timerId, 0);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Timer error!")});
    EXPECT_EQ(buttons(), kAllEnabled);
}

// --- Image write and settings write ----------------------------------------------------

class ImageWriteTest : public ArchiveFixture {
protected:
    // Every third block is answered 0x0D, which the write accepts like 0x06.
    ImageWriteTest() : ArchiveFixture(UnitModel::Config{.blockAcceptedEvery = 3}) {}
};

TEST_F(ImageWriteTest, LoadedFileEndsUpInTheUnitByteForByte) {
    const MemoryImage fileImage = randomImage(7);
    const QString file = imageFile(QStringLiteral("keys.zrd"), {0, 40, 1, 0}, fileImage);
    loadAndWrite(file);

    EXPECT_EQ(confirmations, QStringList{QStringLiteral("Chci přepsat VŠECHNY klíče ve ZYL")});
    EXPECT_EQ(dialog->imageChanged, 1);
    EXPECT_EQ(dialog->image, fileImage);
    EXPECT_EQ(dialog->recordSize, 40);
    EXPECT_EQ(dialog->accessTime, 0);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kWriteTimer);
    EXPECT_EQ(period(ArchiveDialog::kWriteTimer), 500);

    stepper->tick();
    EXPECT_EQ(buttons(), kAllDisabled);
    const int writeTicks =
        1 + stepper->runUntil([&] { return activeTimer() != ArchiveDialog::kWriteTimer; }, 1000);
    EXPECT_EQ(writeTicks, 514);
    EXPECT_EQ(h.unit.imageBlocksReceived(), 512);
    EXPECT_EQ(h.unit.memory(), fileImage);
    EXPECT_EQ(buttons(), kAllEnabled);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kSettingsTimer);
    EXPECT_EQ(period(ArchiveDialog::kSettingsTimer), 700);

    EXPECT_EQ(stepper->runUntil([&] { return settingsWritten(); }, 100), 9);
    EXPECT_EQ(h.unit.recordSize(), 40);
    EXPECT_EQ(h.unit.accessTime(), 0);
    EXPECT_EQ(h.unit.relayByte(), unit::kPermanentAccessArchive | unit::kRelayInverted);
    EXPECT_EQ(logLines(),
              (QStringList{QStringLiteral("Soubor načten"), QString(64, QLatin1Char('*')),
                           QStringLiteral("Hotovo"), QStringLiteral("Nastaven nový počet znaků komentáře"),
                           QStringLiteral("Nastaven nový čas přístupu"),
                           QStringLiteral("Nastavena nová nastavení pro relé")}));
    EXPECT_TRUE(boxTexts().isEmpty());

    // The timer stays armed, its ticks send nothing, and no keep-alive watches the link.
    const std::size_t sentSoFar = sent().size();
    for (int i = 0; i < 10; ++i) {
        stepper->tick();
    }
    EXPECT_EQ(sent().size(), sentSoFar);
    EXPECT_EQ(activeTimer(), ArchiveDialog::kSettingsTimer);
    EXPECT_EQ(dialog->blockIndex, 9);
}

struct RelayCase {
    int accessTime;
    int relayInverted;
    int mainRelayInverted;
    std::uint8_t relayByte;
};

class RelayByteTest : public ArchiveFixture, public ::testing::WithParamInterface<RelayCase> {};

TEST_P(RelayByteTest, SettingsWriteSendsTheRelayByte) {
    const RelayCase c = GetParam();
    loadAndWrite(imageFile(QStringLiteral("r.zrd"), {c.accessTime, 15, c.relayInverted, c.mainRelayInverted},
                           randomImage(3)));
    stepper->runUntil([&] { return settingsWritten(); }, 1000);
    EXPECT_EQ(h.unit.relayByte(), c.relayByte);
    EXPECT_EQ(h.unit.accessTime(), c.accessTime);
    EXPECT_EQ(h.unit.recordSize(), 15);
}

INSTANTIATE_TEST_SUITE_P(Relays, RelayByteTest,
                         ::testing::Values(RelayCase{5, 0, 0, 0x00}, RelayCase{7, 0, 1, 0x38},
                                           RelayCase{0, 1, 1, 0xFF}));

TEST_F(ImageWriteTest, ClosingDuringTheWriteStopsIt) {
    loadAndWrite(imageFile(QStringLiteral("c.zrd"), {5, 65, 0, 0}, randomImage(4)));
    for (int i = 0; i < 50; ++i) {
        stepper->tick();
    }
    const std::size_t sentSoFar = sent().size();
    close([&] { click(ArchiveDialog::kBackButton); });

    EXPECT_TRUE(stopped());
    EXPECT_FALSE(stepper->tick());
    EXPECT_EQ(sent().size(), sentSoFar);
    EXPECT_EQ(h.unit.imageBlocksReceived(), 48);
    EXPECT_EQ(logLines().count(QStringLiteral("Hotovo")), 0);
}

TEST_F(ImageWriteTest, CloseBoxDuringAnEraseStopsIt) {
    click(ArchiveDialog::kEraseKeysButton);
    stepper->tick();
    stepper->tick();
    close([&] { window->close(); });

    EXPECT_TRUE(stopped());
    EXPECT_EQ(sent(), (std::vector<std::uint8_t>{unit::kEraseKeys, unit::kEraseMiddle}));
    EXPECT_EQ(h.unit.keyErasures(), 0);
}

TEST_F(ImageWriteTest, FailedAnswerInTheTickOfTheLastBlockEndsTheWrite) {
    // Answer byte 511 of the exchange answers block 510; it is judged in block 511's tick.
    h.unit.setFault(fault(FaultKind::WrongByte, unit::kImageWrite, 511));
    loadAndWrite(imageFile(QStringLiteral("l.zrd"), {5, 40, 0, 0}, randomImage(5)));
    stepper->runToEnd(1000);

    EXPECT_EQ(h.unit.imageBlocksReceived(), 512);
    EXPECT_EQ(logText(), fatalText(532) + QStringLiteral("\r\n") + QString(64, QLatin1Char('*')) +
                             QStringLiteral("\r\nSoubor načten\r\n"));
    // Nothing follows the last block: no settings write.
    EXPECT_EQ(h.unit.received().back(), randomImage(5).back());
    EXPECT_EQ(h.unit.recordSize(), 65);
    EXPECT_EQ(buttons(), kAfterFailure);
    EXPECT_EQ(dialog->blockIndex, 511);
}

TEST_F(ImageWriteTest, FailedAnswerInAMarkedBlockGetsNoMark) {
    // Block 7's answer is judged in block 8's tick, which would have drawn the second mark.
    h.unit.setFault(fault(FaultKind::WrongByte, unit::kImageWrite, 8));
    loadAndWrite(imageFile(QStringLiteral("m.zrd"), {5, 65, 0, 0}, randomImage(5)));
    stepper->runToEnd(1000);

    EXPECT_EQ(logText(), fatalText(532) + QStringLiteral("\r\n*\r\nSoubor načten\r\n"));
    EXPECT_EQ(h.unit.imageBlocksReceived(), 9);
}

TEST_F(ImageWriteTest, RefusedSettingsTimerEndsTheOperationAfterHotovo) {
    screen.refusedTimers.insert(ArchiveDialog::kSettingsTimer);
    loadAndWrite(imageFile(QStringLiteral("t.zrd"), {5, 65, 0, 0}, randomImage(5)));
    stepper->runToEnd(1000);

    EXPECT_EQ(logLines().back(), QStringLiteral("Hotovo"));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Timer error!")});
    EXPECT_EQ(buttons(), kAllEnabled);
    EXPECT_EQ(h.unit.received().back(), randomImage(5).back());
}

TEST_F(ImageWriteTest, RefusedWriteTimerAfterTheLoadKeepsTheLoadedImage) {
    screen.refusedTimers.insert(ArchiveDialog::kWriteTimer);
    loadAndWrite(imageFile(QStringLiteral("w.zrd"), {9, 65, 0, 0}, randomImage(6)));

    EXPECT_TRUE(stopped());
    EXPECT_EQ(dialog->imageChanged, 1);
    EXPECT_EQ(dialog->image, randomImage(6));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Timer error!")});
    EXPECT_TRUE(sent().empty());
}

// --- Every failure: its error, its kind and the buttons afterwards ---------------------

enum class Operation { EraseKeys, EraseLogs, ImageWrite };

struct FailureCase {
    const char* name;
    Operation operation;
    Fault fault;
    int code;
    ErrorKind kind;
    ButtonState buttons;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class FailureTest : public ArchiveFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, StopsReportsAndSetsTheButtons) {
    const FailureCase& c = GetParam();
    h.unit.setFault(c.fault);
    switch (c.operation) {
        case Operation::EraseKeys:
            click(ArchiveDialog::kEraseKeysButton);
            break;
        case Operation::EraseLogs:
            click(ArchiveDialog::kEraseLogsButton);
            break;
        case Operation::ImageWrite:
            loadAndWrite(imageFile(QStringLiteral("f.zrd"), {0, 65, 1, 1}, randomImage(9)));
            break;
    }
    stepper->runUntil([&] { return stopped() || settingsWritten(); }, 2000);

    ASSERT_TRUE(stopped());
    const QString message = c.kind == ErrorKind::Fatal ? fatalText(c.code) : disconnectMessage(c.code);
    EXPECT_EQ(boxTexts(), QStringList{message});
    EXPECT_TRUE(logText().startsWith(message + QStringLiteral("\r\n")));
    EXPECT_EQ(buttons(), c.buttons);
    EXPECT_EQ(dialog->keysErased, 0);
    // The main window stays as the reporter left it: dead after a fatal error, only the
    // connect button after a lost link.
    EXPECT_EQ(h.enabled(MainDialog::kConnectButton), c.kind == ErrorKind::Disconnect);
}

const FailureCase kFailures[] = {
    {"EraseKeysNotAccepted", Operation::EraseKeys, fault(FaultKind::Silence, unit::kEraseKeys), 521,
     ErrorKind::Disconnect, kAfterFailure},
    {"EraseKeysWrongAcceptance", Operation::EraseKeys, fault(FaultKind::WrongByte, unit::kEraseKeys, 0), 521,
     ErrorKind::Disconnect, kAfterFailure},
    {"EraseLogsNotAccepted", Operation::EraseLogs, fault(FaultKind::Silence, unit::kEraseLogs), 522,
     ErrorKind::Disconnect, kAfterFailure},
    {"EraseKeysStrangeByte", Operation::EraseKeys, fault(FaultKind::WrongByte, unit::kEraseKeys, 3), 523,
     ErrorKind::Disconnect, kAfterFailure},
    {"EraseLogsStrangeByte", Operation::EraseLogs, fault(FaultKind::StrayByte, unit::kEraseLogs, 2), 524,
     ErrorKind::Disconnect, kAfterFailure},
    {"EraseKeysSilentTick", Operation::EraseKeys, fault(FaultKind::SlowErase, unit::kEraseKeys), 525,
     ErrorKind::Disconnect, kAfterFailure},
    {"EraseLogsSilentTick", Operation::EraseLogs, fault(FaultKind::SlowErase, unit::kEraseLogs), 526,
     ErrorKind::Disconnect, kAfterFailure},
    {"ImageWriteNotAnswered", Operation::ImageWrite, fault(FaultKind::Silence, unit::kImageWrite), 530,
     ErrorKind::Fatal, kAfterFailure},
    {"ImageWriteNotReady", Operation::ImageWrite, fault(FaultKind::WrongByte, unit::kImageWrite, 0), 531,
     ErrorKind::Fatal, kAfterFailure},
    {"BlockRefused", Operation::ImageWrite, fault(FaultKind::WrongByte, unit::kImageWrite, 200), 532,
     ErrorKind::Fatal, kAfterFailure},
    {"BlockNotAnswered", Operation::ImageWrite, fault(FaultKind::DropEcho, unit::kImageWrite, 1), 533,
     ErrorKind::Fatal, kAfterFailure},
    {"RecordSizeRefused", Operation::ImageWrite, fault(FaultKind::WrongByte, unit::kRecordSize), 302,
     ErrorKind::Fatal, kAfterSettingsFailure},
    {"RecordSizeNotAnswered", Operation::ImageWrite, fault(FaultKind::Silence, unit::kRecordSize), 303,
     ErrorKind::Fatal, kAfterSettingsFailure},
    {"AccessTimeRefused", Operation::ImageWrite, fault(FaultKind::WrongByte, unit::kAccessTime), 304,
     ErrorKind::Fatal, kAfterSettingsFailure},
    {"AccessTimeNotAnswered", Operation::ImageWrite, fault(FaultKind::Silence, unit::kAccessTime), 305,
     ErrorKind::Fatal, kAfterSettingsFailure},
    {"RelayByteRefused", Operation::ImageWrite, fault(FaultKind::WrongByte, unit::kRelayByte), 306,
     ErrorKind::Fatal, kAfterSettingsFailure},
    {"RelayByteNotAnswered", Operation::ImageWrite, fault(FaultKind::Silence, unit::kRelayByte), 307,
     ErrorKind::Fatal, kAfterSettingsFailure},
};

INSTANTIATE_TEST_SUITE_P(Archive, FailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });
