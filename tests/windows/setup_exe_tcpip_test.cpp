// The real Setup.exe making a Standard TCP/IP port through Create Port and installing the
// printer on it, driven from outside as a user would. A printer played by the simulator on
// loopback answers the program's broadcast; our stand-in monitor takes the port, since Wine has
// no Standard TCP/IP Port monitor. Runs only inside the isolated network namespace
// (tools/wine-netns-run): the add-port dialog broadcasts.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "InstallFixtures.h"
#include "LocalInterfaces.h"
#include "MonitorRecordFile.h"
#include "NetworkDialogSupport.h"
#include "SetupExeSupport.h"
#include "TestSupport.h"
#include "network/dialogs/PortRecord.h"
#include "resource.h"

using namespace setup_exe_support;
using netdialogs_test::Eventually;
using netdialogs_test::Printer;
using netdialogs_test::Printers;
using testing_support::WinePath;

namespace {

constexpr char kAddPortTitle[] = "Add New TCP/IP Port";

std::vector<BYTE> MonitorRecords() {
    std::ifstream file(MonitorRecordFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The lists of the other process are read in UTF-16. Asked in ANSI across processes, Wine hands
// an entry back as its control keeps it, wide ("1\0" "2\0" ... reads as "1"); Windows converts it.
std::string Narrow(const wchar_t* text) {
    char narrow[512] = {};
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// The entries of the port selection list of the other process, in their order.
std::vector<std::string> ListEntries(HWND dialog) {
    HWND list = ::GetDlgItem(dialog, IDC_PORT_LIST);
    const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(Narrow(text));
    }
    return entries;
}

std::string SelectedEntry(HWND dialog) {
    const int selected =
        static_cast<int>(::SendDlgItemMessageA(dialog, IDC_PORT_LIST, LB_GETCURSEL, 0, 0));
    if (selected == LB_ERR) return "<none>";
    return ListEntries(dialog).at(selected);
}

// As a user's click on the entry: the list selects it and tells its dialog.
void ChooseEntry(HWND dialog, int index) {
    HWND list = ::GetDlgItem(dialog, IDC_PORT_LIST);
    ::SendMessageA(list, LB_SETCURSEL, index, 0);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PORT_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

int IndexOf(const std::vector<std::string>& entries, const std::string& entry) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == entry) return static_cast<int>(i);
    }
    return -1;
}

int ComboCount(HWND dialog, int id) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
}

std::string ComboEntry(HWND dialog, int id, int position) {
    wchar_t text[256] = {};
    if (::SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text)) ==
        CB_ERR) {
        return "<none>";
    }
    return Narrow(text);
}

// Setup.exe installing on a TCP/IP port it made itself, with the stand-in monitor in the
// prefix. The ports the monitor kept go again afterwards, with the rest of the installation,
// and none are there at the start: a port another test left would stand in the list.
class CreatePortTest : public InstallationSequenceTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim::onlyLoopbackInterfaces())
            << "the add-port dialog broadcasts: run this through tools/wine-netns-run";
        const std::string error = netdialogs_test::InstallTestMonitor(WinePath(TEST_MONITOR_DLL));
        ASSERT_TRUE(error.empty()) << error;
        netdialogs_test::ForgetTestMonitorPorts();
        InstallationSequenceTest::SetUp();
    }

    void TearDown() override {
        InstallationSequenceTest::TearDown();
        netdialogs_test::ForgetTestMonitorPorts();
    }

    // Setup.exe's port selection dialog for a TCP/IP printer of this name.
    HWND OpenPortSelection(RunningSetup& setup, const std::string& printerName) {
        if (!StartAndPressOk(setup, printerName, IDC_PORT_TCPIP)) return nullptr;
        return WaitForDialog(setup.id(), kMainTitle, IDC_PORT_LIST);
    }

    // Create Port, and the add-port dialog once it lists the one printer answering.
    static HWND CreatePort(RunningSetup& setup, HWND ports) {
        ClickControl(ports, IDC_CREATE_PORT);
        HWND addPort = WaitForDialog(setup.id(), kAddPortTitle, IDC_TCPIP_ADDRESS_LIST);
        if (!addPort) return nullptr;
        if (!Eventually([&] { return ComboCount(addPort, IDC_TCPIP_ADDRESS_LIST) == 1; })) {
            return nullptr;
        }
        return addPort;
    }
};

TEST_F(CreatePortTest, CreatePortMakesTheDiscoveredPrintersPortAndThePrinterIsInstalledOnIt) {
    Printers printers({Printer("127.0.0.31", "00 11 22 33 44 31")});
    ASSERT_TRUE(printers.started());
    const auto recordsBefore = MonitorRecords().size();

    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    HWND ports = OpenPortSelection(setup, "Network Counter");
    ASSERT_NE(nullptr, ports);
    ASSERT_TRUE(::IsWindowVisible(::GetDlgItem(ports, IDC_CREATE_PORT)));
    EXPECT_EQ(-1, IndexOf(ListEntries(ports), "127.0.0.31 (Standard TCP/IP Port)"));

    HWND addPort = CreatePort(setup, ports);
    ASSERT_NE(nullptr, addPort);
    EXPECT_EQ("127.0.0.31", ComboEntry(addPort, IDC_TCPIP_ADDRESS_LIST, 0));
    EXPECT_EQ("9100", ComboEntry(addPort, IDC_TCPIP_PORT_LIST, 0));
    EXPECT_TRUE(testing_support::SaveScreenshot(
        testing_support::ScreenshotPath("setup-exe-add-tcpip-port.bmp")));
    HWND addresses = ::GetDlgItem(addPort, IDC_TCPIP_ADDRESS_LIST);
    ::SendMessageA(addresses, CB_SETCURSEL, 0, 0);
    ::SendMessageA(addPort, WM_COMMAND, MAKEWPARAM(IDC_TCPIP_ADDRESS_LIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(addresses));
    ClickControl(addPort, IDOK);
    ASSERT_TRUE(Eventually([&] { return MonitorRecords().size() >= recordsBefore + 964; }));
    // OK hands the port to the monitor and ends the dialog as Cancel does.
    ASSERT_TRUE(Eventually([&] { return !::IsWindow(addPort); }));

    const auto records = MonitorRecords();
    ASSERT_EQ(recordsBefore + 964, records.size());
    PORT_DATA_1 record;
    std::memcpy(&record, records.data() + recordsBefore, sizeof record);
    EXPECT_STREQ(L"127.0.0.31", record.sztPortName);
    EXPECT_STREQ(L"127.0.0.31", record.sztHostAddress);
    EXPECT_EQ(9100u, record.dwPortNumber);
    EXPECT_EQ(1u, record.dwProtocol);

    // The list is read again once the dialog has gone: the new port is there, and "LPT1:" is
    // chosen as at the start.
    std::vector<std::string> entries;
    Eventually([&] {
        entries = ListEntries(ports);
        return IndexOf(entries, "127.0.0.31 (Standard TCP/IP Port)") != -1;
    });
    const int created = IndexOf(entries, "127.0.0.31 (Standard TCP/IP Port)");
    ASSERT_NE(-1, created) << testing::PrintToString(entries);
    EXPECT_EQ("LPT1: (Local Port)", SelectedEntry(ports));
    ChooseEntry(ports, created);
    EXPECT_EQ("127.0.0.31 (Standard TCP/IP Port)", ControlText(ports, IDC_CURRENT_PORT));
    EXPECT_TRUE(testing_support::SaveScreenshot(
        testing_support::ScreenshotPath("setup-exe-port-list-with-tcpip-port.bmp")));
    ClickControl(ports, IDC_PORT_SELECT_OK);
    EXPECT_EQ(0u, setup.WaitForExit(60000));

    PrinterRecord printer;
    ASSERT_TRUE(FindPrinter("Network Counter", printer));
    EXPECT_EQ("127.0.0.31", printer.port);
    EXPECT_EQ("Network Counter", printer.driver);
    EXPECT_EQ("winprint", printer.processor);
    EXPECT_EQ("RAW", printer.dataType);
    EXPECT_EQ("Network Counter", DefaultPrinter());
}

TEST_F(CreatePortTest, CancelInTheAddPortDialogLeavesTheListAsItWasWithLpt1ChosenAgain) {
    Printers printers({Printer("127.0.0.32", "00 11 22 33 44 32")});
    ASSERT_TRUE(printers.started());
    const auto recordsBefore = MonitorRecords().size();

    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    HWND ports = OpenPortSelection(setup, "Network Cancel");
    ASSERT_NE(nullptr, ports);
    const std::vector<std::string> before = ListEntries(ports);
    ASSERT_GE(before.size(), 2u);
    // Another entry chosen first, so that choosing "LPT1:" again shows.
    const int lpt1 = IndexOf(before, "LPT1: (Local Port)");
    ASSERT_NE(-1, lpt1);
    ChooseEntry(ports, lpt1 == 0 ? 1 : 0);
    ASSERT_NE("LPT1: (Local Port)", SelectedEntry(ports));

    HWND addPort = CreatePort(setup, ports);
    ASSERT_NE(nullptr, addPort);
    // The add-port dialog holds the port selection dialog while it runs: no second Create Port.
    EXPECT_FALSE(::IsWindowEnabled(ports));
    EXPECT_EQ(ports, ::GetWindow(addPort, GW_OWNER));
    Press(addPort, IDCANCEL);
    ASSERT_TRUE(Eventually([&] { return !::IsWindow(addPort); }));
    EXPECT_TRUE(::IsWindowEnabled(ports));

    // The list is read again all the same, which chooses "LPT1:" again.
    Eventually([&] { return SelectedEntry(ports) == "LPT1: (Local Port)"; });
    EXPECT_EQ(before, ListEntries(ports));
    EXPECT_EQ("LPT1: (Local Port)", SelectedEntry(ports));
    EXPECT_EQ("LPT1: (Local Port)", ControlText(ports, IDC_CURRENT_PORT));
    EXPECT_EQ(recordsBefore, MonitorRecords().size());

    ClickControl(ports, IDC_PORT_SELECT_CANCEL);
    HWND question = WaitForDialog(setup.id(), "ZNT Printer Driver - Setup");
    ASSERT_NE(nullptr, question);
    Press(question, IDYES);
    EXPECT_EQ(0u, setup.WaitForExit());
    PrinterRecord printer;
    EXPECT_FALSE(FindPrinter("Network Cancel", printer));
}

}  // namespace
