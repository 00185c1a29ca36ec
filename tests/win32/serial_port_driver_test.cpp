// The Windows port against drivers as real PCs have them and Wine has not: a Bluetooth
// port that takes its time to open or never returns, a driver that refuses the bare line
// settings, a port another program holds. The driver is the port's table of Windows calls;
// the time the open's wait measures is the test's, so no case waits for a clock.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "serial_port_win32.h"

namespace {

// A handle no real call returns, for a device that exists only here.
const HANDLE kDevice = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5A5A));

using Step = LinkWaitStep;

class DriverTest;

struct Row {
    const char* name;
    // The device's open, on the port's helper thread.
    std::function<HANDLE(DriverTest&)> open;
    // Waits of the window's thread that end with their whole time passed; after them the
    // wait lasts until the open returns or a message comes.
    int idleWaits;
    // How many settings blocks the driver refuses before it takes one.
    int refusals;
    PortStatus status;
    std::vector<Step> steps;
    std::string busy;
    int settingsTries;
    bool comParametersWarning;
    bool lateHandleClosed;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

LRESULT CALLBACK recordingWindowProc(HWND, UINT, WPARAM, LPARAM);

class DriverTest : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        current() = this;
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = recordingWindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZylDriverTestWindow";
        ::RegisterClassW(&windowClass);
        window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        lateClose = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);

        SerialPort::setWarningHandler([this](const std::string& text, const std::string& caption) {
            warnings.push_back(caption + ": " + text);
        });
        SerialPort::setLinkWaitHandler([this](int, Step step) { steps.push_back(step); });

        WindowsCalls& calls = port.device().calls;
        calls.createFile = [this](LPCSTR name, DWORD, DWORD share, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                  HANDLE) {
            opened = name;
            exclusive = share == 0;
            return GetParam().open(*this);
        };
        calls.getTickCount64 = [this] { return now; };
        calls.msgWaitForMultipleObjects = [this](DWORD count, const HANDLE* handles, BOOL all, DWORD ms,
                                                 DWORD wake) {
            if (idleWaits > 0) {
                --idleWaits;
                now += ms;
                return static_cast<DWORD>(WAIT_TIMEOUT);
            }
            return ::MsgWaitForMultipleObjects(count, handles, all, INFINITE, wake);
        };
        calls.setCommState = [this](HANDLE, LPDCB dcb) {
            settings.push_back(*dcb);
            return static_cast<int>(settings.size()) > GetParam().refusals ? TRUE : FALSE;
        };
        calls.setCommTimeouts = [](HANDLE, LPCOMMTIMEOUTS) { return TRUE; };
        calls.setupComm = [](HANDLE, DWORD, DWORD) { return TRUE; };
        calls.purgeComm = [](HANDLE, DWORD) { return TRUE; };
        calls.writeFile = [this](HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) {
            ++writes;
            return TRUE;
        };
        calls.closeHandle = [this](HANDLE handle) {
            const std::lock_guard<std::mutex> lock(closing);
            closed.push_back(handle);
            ::SetEvent(lateClose);
            return TRUE;
        };
        calls.cancelSynchronousIo = [this](HANDLE) {
            ++cancels;
            return TRUE;
        };
        idleWaits = GetParam().idleWaits;
    }

    // Nothing of the port may call into the test once it is gone: an open still out comes
    // back now, and a device still held is closed here.
    void TearDown() override {
        ::SetEvent(release);
        if (GetParam().lateHandleClosed) {
            ::WaitForSingleObject(lateClose, 10000);
        }
        port.close();
        SerialPort::setWarningHandler(nullptr);
        SerialPort::setLinkWaitHandler(nullptr);
        ::DestroyWindow(window);
        ::CloseHandle(release);
        ::CloseHandle(lateClose);
        current() = nullptr;
    }

public:
    static DriverTest*& current() {
        static DriverTest* test = nullptr;
        return test;
    }

    SerialPort port;
    HWND window = nullptr;
    HANDLE release = nullptr;
    HANDLE lateClose = nullptr;
    ULONGLONG now = 0;
    int idleWaits = 0;
    std::string opened;
    bool exclusive = false;
    std::vector<std::string> warnings;
    std::vector<Step> steps;
    std::vector<DCB> settings;
    std::mutex closing;
    std::vector<HANDLE> closed;
    int writes = 0;
    int cancels = 0;
    bool answered = false;
    bool endSession = false;
};

// What the program does at a logout, as far as the port goes: it ends the link, which must
// not reach the port still opening.
LRESULT CALLBACK recordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DriverTest* test = DriverTest::current();
    if (test != nullptr && message == WM_ENDSESSION) {
        test->endSession = true;
        test->port.write(0x04);
        test->port.close();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HANDLE absentWith(DWORD error) {
    ::SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

// The helper thread sends to the window and comes back only when the window's thread has
// answered: it waits on for the open with the window alive.
HANDLE openAfter(DriverTest& test, UINT message, WPARAM wParam) {
    DWORD_PTR result = 0;
    const bool answered =
        ::SendMessageTimeoutW(test.window, message, wParam, 0, SMTO_NORMAL, 10000, &result) != 0;
    if (message == WM_NULL) {
        test.answered = answered;
    }
    return answered ? kDevice : absentWith(ERROR_SEM_TIMEOUT);
}

// Returns only when the test lets it, long after the port has given up on it.
HANDLE openNever(DriverTest& test) {
    ::WaitForSingleObject(test.release, INFINITE);
    return kDevice;
}

std::vector<Step> waitedToTheBound() {
    std::vector<Step> steps = {Step::Begun};
    steps.insert(steps.end(), 9, Step::Pending);
    steps.push_back(Step::TimedOut);
    return steps;
}

const Row kRows[] = {
    {"OpensAtOnce", [](DriverTest&) { return kDevice; }, 0, 0, PortStatus::Ready, {}, "", 1, false, false},
    {"AnswersTheWindowWhileItOpens",
     [](DriverTest& t) { return openAfter(t, WM_NULL, 0); },
     1,
     0,
     PortStatus::Ready,
     {Step::Begun},
     "",
     1,
     false,
     false},
    {"AbsentPort",
     [](DriverTest&) { return absentWith(ERROR_FILE_NOT_FOUND); },
     0,
     0,
     PortStatus::Closed,
     {},
     "",
     0,
     false,
     false},
    {"NeverReturns", openNever, 100, 0, PortStatus::Closed, waitedToTheBound(), "", 0, false, true},
    {"LogoutWhileItOpens",
     [](DriverTest& t) { return openAfter(t, WM_ENDSESSION, TRUE); },
     0,
     0,
     PortStatus::Ready,
     {},
     "",
     1,
     false,
     false},
    {"StrictDriverTakesTheSecondSettings",
     [](DriverTest&) { return kDevice; },
     0,
     1,
     PortStatus::Ready,
     {},
     "",
     2,
     false,
     false},
    {"DriverRefusingBothSettings",
     [](DriverTest&) { return kDevice; },
     0,
     2,
     PortStatus::Faulty,
     {},
     "",
     2,
     true,
     false},
    {"AccessDenied",
     [](DriverTest&) { return absentWith(ERROR_ACCESS_DENIED); },
     0,
     0,
     PortStatus::Closed,
     {},
     "COM4",
     0,
     false,
     false},
    {"SharingViolation",
     [](DriverTest&) { return absentWith(ERROR_SHARING_VIOLATION); },
     0,
     0,
     PortStatus::Closed,
     {},
     "COM4",
     0,
     false,
     false},
};

TEST_P(DriverTest, OpenMeetsTheDriver) {
    const Row& row = GetParam();
    port.open(4);

    EXPECT_EQ(port.status(), row.status);
    EXPECT_EQ(port.isOpen(), row.status != PortStatus::Closed);
    EXPECT_EQ(steps, row.steps);
    EXPECT_EQ(port.lastBusy(), row.busy);
    EXPECT_EQ(static_cast<int>(settings.size()), row.settingsTries);
    EXPECT_EQ(warnings, row.comParametersWarning
                            ? std::vector<std::string>{"Warning!: Not able to set COM parameters"}
                            : std::vector<std::string>{});
    EXPECT_EQ(cancels, row.lateHandleClosed ? 1 : 0);
    if (std::string(row.name) == "AnswersTheWindowWhileItOpens") {
        EXPECT_TRUE(answered);
    }
    if (std::string(row.name) == "LogoutWhileItOpens") {
        EXPECT_TRUE(endSession);
        EXPECT_EQ(writes, 0);
        const std::lock_guard<std::mutex> lock(closing);
        EXPECT_TRUE(closed.empty());
    }
    if (row.lateHandleClosed) {
        // The open comes back now; its handle is closed on the helper thread.
        ::SetEvent(release);
        ASSERT_EQ(::WaitForSingleObject(lateClose, 10000), WAIT_OBJECT_0);
        const std::lock_guard<std::mutex> lock(closing);
        EXPECT_EQ(closed, std::vector<HANDLE>{kDevice});
    }
    // Read once the helper thread is known to have opened: an open given up on may not
    // have begun before.
    EXPECT_EQ(opened, "COM4");
    EXPECT_TRUE(exclusive);
    // The second block is the first with binary mode on and XON and XOFF characters that
    // differ; XON/XOFF flow control stays off, and so does the abort on errors.
    if (settings.size() == 2) {
        DCB first = settings[0];
        const DCB& second = settings[1];
        EXPECT_EQ(first.fBinary, 0u);
        EXPECT_EQ(first.XonChar, first.XoffChar);
        EXPECT_EQ(second.fBinary, 1u);
        EXPECT_EQ(second.XonChar, 0x11);
        EXPECT_EQ(second.XoffChar, 0x13);
        EXPECT_EQ(second.fOutX, 0u);
        EXPECT_EQ(second.fInX, 0u);
        EXPECT_EQ(second.fAbortOnError, 0u);
        first.fBinary = 1;
        first.XonChar = 0x11;
        first.XoffChar = 0x13;
        EXPECT_EQ(std::memcmp(&first, &second, sizeof(DCB)), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
