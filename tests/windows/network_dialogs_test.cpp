// The three network printer dialogs against printers played by the simulator on loopback,
// Wine's real spooler with our own Standard TCP/IP Port monitor, and real sockets. Runs only
// inside the isolated network namespace (tools/wine-netns-run), since the dialogs broadcast.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "LocalInterfaces.h"
#include "MonitorRecordFile.h"
#include "NetworkDialogSupport.h"
#include "TestSupport.h"
#include "network/dialogs/AddNewTCPIPPort.h"
#include "network/dialogs/NetworkWide.h"
#include "network/dialogs/PortRecord.h"
#include "network/dialogs/PrinterParameterSettings.h"
#include "network/dialogs/PrinterStatusDialog.h"
#include "network/protocol/Socket.h"
#include "ServerSocket.h"
#include "resource.h"

using namespace netdialogs_test;
using testing_support::WinePath;

namespace {

constexpr char kAddPortCaption[] = "Add New TCP/IP Port";
constexpr char kSettingsCaption[] = "Printer New IP Settings";
constexpr char kStatusCaption[] = "Check Printer Status";
constexpr char kNoticeCaption[] = "Quelor ZNT Series Printer Driver - Setup";

std::string Screenshot(const std::string& name) {
    return WinePath(SCREENSHOT_DIR "/" + name);
}

std::vector<BYTE> MonitorRecords() {
    std::ifstream file(MonitorRecordFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class TestMonitorEnvironment : public testing::Environment {
public:
    void SetUp() override {
        const std::string error = InstallTestMonitor(WinePath(TEST_MONITOR_DLL));
        ASSERT_TRUE(error.empty()) << error;
    }
    void TearDown() override { ForgetTestMonitorPorts(); }
};

const auto* const monitorEnvironment =
    testing::AddGlobalTestEnvironment(new TestMonitorEnvironment);

class NetworkDialogTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim::onlyLoopbackInterfaces())
            << "these tests broadcast: run them through tools/wine-netns-run";
        Network().printerTables.Clear();
        Network().rescanStore.resetCount();
        Network().rescanned.store(0);
    }
    MessageBoxes boxes;
};

// ---------------------------------------------------------------------------------------------
// Add New TCP/IP Port

TEST_F(NetworkDialogTest, ListsPrintersInTheOrderOfTheirRepliesAndPairsTheSelections) {
    auto second = Printer("127.0.0.100", "00 11 22 33 44 02");
    second.subnet = "255.255.0.0";
    second.gateway = "127.0.0.254";
    second.prnPort = "9101";
    Printers printers({Printer("127.0.0.20", "00 11 22 33 44 01"), second});
    ASSERT_TRUE(printers.started());

    AddNewTCPIPPort dialog;
    const INT_PTR result = RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        ASSERT_TRUE(Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 2; }));
        EXPECT_EQ("127.0.0.20", ComboEntry(hwnd, IDC_TCPIP_ADDRESS_LIST, 0));
        EXPECT_EQ("127.0.0.100", ComboEntry(hwnd, IDC_TCPIP_ADDRESS_LIST, 1));
        EXPECT_EQ("9100", ComboEntry(hwnd, IDC_TCPIP_PORT_LIST, 0));
        EXPECT_EQ("9101", ComboEntry(hwnd, IDC_TCPIP_PORT_LIST, 1));
        EXPECT_EQ(0, ComboSelection(hwnd, IDC_TCPIP_ADDRESS_LIST));
        EXPECT_EQ(" ", ControlText(hwnd, IDC_TCPIP_NOTICE));

        Select(hwnd, IDC_TCPIP_PORT_LIST, 1);
        EXPECT_EQ(1, ComboSelection(hwnd, IDC_TCPIP_ADDRESS_LIST));
        Select(hwnd, IDC_TCPIP_ADDRESS_LIST, 0);
        EXPECT_EQ(0, ComboSelection(hwnd, IDC_TCPIP_PORT_LIST));
        SaveScreenshot(hwnd, Screenshot("add-port-two-printers.bmp"));
        // With the selection gone (the user typed into the field), no printer is chosen.
        ::SendDlgItemMessageA(hwnd, IDC_TCPIP_ADDRESS_LIST, CB_SETCURSEL, WPARAM(-1), 0);
        Click(hwnd, IDC_PRINTER_STATUS);
        EXPECT_TRUE(Eventually([&] { return boxes.shown("Add Printer IP Address!!"); }));
        EXPECT_EQ(nullptr, FindProcessWindow(kStatusCaption));
    });
    EXPECT_EQ(IDCANCEL, result);

    using Table = PrinterTables::Table;
    const auto& tables = Network().printerTables;
    EXPECT_EQ("00 11 22 33 44 01", tables.Get(Table::HardwareAddress, 0));
    EXPECT_EQ("00 11 22 33 44 02", tables.Get(Table::HardwareAddress, 1));
    EXPECT_EQ("255.0.0.0", tables.Get(Table::SubnetMask, 0));
    EXPECT_EQ("255.255.0.0", tables.Get(Table::SubnetMask, 1));
    EXPECT_EQ("127.0.0.254", tables.Get(Table::Gateway, 1));
    EXPECT_EQ("0", tables.Get(Table::DhcpState, 1));
    EXPECT_EQ("30", tables.Get(Table::DhcpTimeout, 1));
}

// The reply handler on the dialog's own thread, as the refill after a rescan uses it.
TEST_F(NetworkDialogTest, TableEntriesFollowTheAddressListPosition) {
    using Table = PrinterTables::Table;
    Network().printerTables.Set(Table::HardwareAddress, 0, "from an earlier dialog");
    AddNewTCPIPPort dialog;
    const INT_PTR result = testing_support::RunModal(
        dialog, {[&](HWND hwnd) {
            // No address yet: the notice stays, the port is listed, the values go nowhere.
            dialog.OnReply("PRNPORT:9100;MAC:000000000001;");
            EXPECT_EQ("* No Printer Found! ", ControlText(hwnd, IDC_TCPIP_NOTICE));
            EXPECT_EQ(1, ComboCount(hwnd, IDC_TCPIP_PORT_LIST));
            // An address without "MAC:" keeps the entry of its position.
            dialog.OnReply("IP:127.0.0.5;PRNPORT:9100;GATEWAY:127.0.0.1;");
            EXPECT_EQ(" ", ControlText(hwnd, IDC_TCPIP_NOTICE));
            for (int i = 1; i <= 255; ++i) {
                dialog.OnReply("IP:127.0.1." + std::to_string(i) +
                               ";MAC:" + std::to_string(100000000000 + i) + ";");
            }
            EXPECT_EQ(256, ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST));
        }});
    EXPECT_EQ(testing_support::kNotEnded, result);
    const auto& tables = Network().printerTables;
    EXPECT_EQ("from an earlier dialog", tables.Get(Table::HardwareAddress, 0));
    EXPECT_EQ("127.0.0.1", tables.Get(Table::Gateway, 0));
    EXPECT_EQ("100000000001", tables.Get(Table::HardwareAddress, 1));
    // Position 255 has no entries: its value does not land anywhere else.
    EXPECT_EQ("100000000254", tables.Get(Table::HardwareAddress, 254));
}

TEST_F(NetworkDialogTest, ButtonsWithoutASelectedPrinterAskForOne) {
    // A printer whose reply names no address: the port list fills, the address list stays empty.
    auto noAddress = Printer("127.0.0.21", "00 11 22 33 44 21");
    noAddress.reply = "PRNPORT:9100;";
    Printers printers({noAddress});
    ASSERT_TRUE(printers.started());

    AddNewTCPIPPort dialog;
    RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        EXPECT_EQ("* No Printer Found! ", ControlText(hwnd, IDC_TCPIP_NOTICE));
        ASSERT_TRUE(Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_PORT_LIST) == 1; }));
        EXPECT_EQ("* No Printer Found! ", ControlText(hwnd, IDC_TCPIP_NOTICE));
        for (int id : {IDOK, IDC_NEW_IP_SETTINGS, IDC_PRINTER_STATUS, IDC_SELF_TEST_PAGE}) {
            Click(hwnd, id);
        }
        ASSERT_TRUE(Eventually([&] { return boxes.texts().size() == 4; }));
        // Typed text is no list entry: still nothing selected.
        ::SetDlgItemTextA(hwnd, IDC_TCPIP_ADDRESS_LIST, "127.0.0.21");
        Click(hwnd, IDOK);
        ASSERT_TRUE(Eventually([&] { return boxes.texts().size() == 5; }));
    });
    EXPECT_EQ(std::vector<std::string>(5, "Add Printer IP Address!!"), boxes.texts());
    EXPECT_EQ(std::vector<std::string>(5, "Warning"), boxes.captions());
}

TEST_F(NetworkDialogTest, OkWithAnAddressButNoPortAsksForThePort) {
    auto noPort = Printer("127.0.0.22", "00 11 22 33 44 22");
    noPort.reply = "IP:127.0.0.22;";
    Printers printers({noPort});
    ASSERT_TRUE(printers.started());
    AddNewTCPIPPort dialog;
    RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        ASSERT_TRUE(Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1; }));
        Click(hwnd, IDOK);
        ASSERT_TRUE(Eventually([&] { return !boxes.texts().empty(); }));
    });
    EXPECT_EQ(std::vector<std::string>{"Set Printer Port!!"}, boxes.texts());
}

// The record the monitor received for one OK, field by field.
struct RecordCase {
    const char* reply;
    bool created;
    const wchar_t* name;
    DWORD portNumber;
};

class PortRecordTest : public NetworkDialogTest, public testing::WithParamInterface<RecordCase> {};

TEST_P(PortRecordTest, OkHandsTheMonitorTheRecordAndEndsWithCancel) {
    const RecordCase& c = GetParam();
    auto printer = Printer("127.0.0.23", "00 11 22 33 44 23");
    printer.reply = c.reply;
    Printers printers({printer});
    ASSERT_TRUE(printers.started());
    const auto before = MonitorRecords().size();

    AddNewTCPIPPort dialog;
    std::atomic<bool> listed = false;
    const INT_PTR result = RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        listed = Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1; });
        Click(hwnd, IDOK);
        Eventually([&] { return !::IsWindow(hwnd); });
    });
    ASSERT_TRUE(listed);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(boxes.texts().empty());

    const auto records = MonitorRecords();
    if (!c.created) {
        EXPECT_EQ(before, records.size()) << "no port is made for a cut address";
        return;
    }
    ASSERT_EQ(before + 964, records.size());
    PORT_DATA_1 record;
    std::memcpy(&record, records.data() + before, sizeof record);
    EXPECT_STREQ(c.name, record.sztPortName);
    EXPECT_EQ(1u, record.dwVersion);
    EXPECT_EQ(1u, record.dwProtocol);
    EXPECT_EQ(964u, record.cbSize);
    EXPECT_EQ(0u, record.dwReserved);
    EXPECT_STREQ(c.name, record.sztHostAddress);
    EXPECT_STREQ(L"public", record.sztSNMPCommunity);
    EXPECT_EQ(0u, record.dwDoubleSpool);
    EXPECT_STREQ(L"", record.sztQueue);
    EXPECT_STREQ(c.name, record.sztIPAddress);
    EXPECT_TRUE(std::all_of(std::begin(record.Reserved), std::end(record.Reserved),
                            [](BYTE b) { return b == 0; }));
    EXPECT_EQ(c.portNumber, record.dwPortNumber);
    EXPECT_EQ(0u, record.dwSNMPEnabled);
    EXPECT_EQ(1u, record.dwSNMPDevIndex);
    // Every byte after each text's terminator is zero, as the record went out.
    const auto* bytes = reinterpret_cast<const BYTE*>(&record);
    const std::size_t nameBytes = (std::wcslen(c.name) + 1) * 2;
    EXPECT_TRUE(std::all_of(bytes + nameBytes, bytes + 128, [](BYTE b) { return b == 0; }));
}

// Data only: nothing is ever sent to 10.1.2.3, the record merely names it.
INSTANTIATE_TEST_SUITE_P(
    Replies, PortRecordTest,
    testing::Values(RecordCase{"IP:10.1.2.3;PRNPORT:9100;", true, L"10.1.2.3", 9100},
                    RecordCase{"IP:10.1.2.4;PRNPORT:raw;", true, L"10.1.2.4", 0},
                    RecordCase{"IP:10.1.2.5;PRNPORT: +515x;", true, L"10.1.2.5", 515},
                    RecordCase{"IP:010.001.002.0003;PRNPORT:9100;", false, L"", 0}));

// Wine has no Standard TCP/IP Port monitor; our test monitor stands in for it.
TEST_F(NetworkDialogTest, TheNewPortIsListedAndTakesAPrinter) {
    auto printer = Printer("127.0.0.24", "00 11 22 33 44 24");
    printer.reply = "IP:10.1.2.6;PRNPORT:9100;";
    Printers printers({printer});
    ASSERT_TRUE(printers.started());
    AddNewTCPIPPort dialog;
    RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1; });
        Click(hwnd, IDOK);
        Eventually([&] { return !::IsWindow(hwnd); });
    });
    const auto ports = testing_support::ListSpoolerPorts();
    const auto port =
        std::find_if(ports.begin(), ports.end(),
                     [](const testing_support::SpoolerPort& p) { return p.name == "10.1.2.6"; });
    ASSERT_NE(ports.end(), port) << [&] {
        std::string listed;
        for (const auto& p : ports) listed += p.name + " (" + p.monitor + ") ";
        return listed;
    }();
    EXPECT_EQ("Standard TCP/IP Port", port->monitor);

    DRIVER_INFO_3A driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>("Quelor Test Network Driver");
    driver.pDriverPath = const_cast<char*>("unidrv.dll");
    driver.pDataFile = const_cast<char*>("network-test.gpd");
    driver.pConfigFile = const_cast<char*>("no-such-config.dll");
    ASSERT_TRUE(::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), 0));
    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<char*>("Counter on 10.1.2.6");
    info.pPortName = const_cast<char*>("10.1.2.6");
    info.pDriverName = driver.pName;
    info.pPrintProcessor = const_cast<char*>("winprint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE added = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    ASSERT_NE(nullptr, added) << ::GetLastError();
    ::DeletePrinter(added);
    ::ClosePrinter(added);
    ::DeletePrinterDriverA(nullptr, nullptr, driver.pName);
}

TEST_F(NetworkDialogTest, SelfTestSendsTheCommandAndTheDialogAnswersAgain) {
    Printers printers({Printer("127.0.0.25", "00 11 22 33 44 25")});
    ASSERT_TRUE(printers.started());
    AddNewTCPIPPort dialog;
    RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        ASSERT_TRUE(Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1; }));
        Click(hwnd, IDC_SELF_TEST_PAGE);
        ASSERT_TRUE(printers.waitUntil(
            [](const sim::SimulatorRecord& r) { return r.printers[0].selfTestBytes.size() == 7; }));
        DWORD_PTR answer = 0;
        EXPECT_NE(0, ::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer))
            << "the dialog answers again after the self-test";
    });
    EXPECT_EQ((std::vector<std::uint8_t>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}),
              printers.record().printers[0].selfTestBytes);
}

// A printer that takes the command and never closes the connection holds the dialog only for
// the self-test's bounded wait (thirty seconds), not for ever.
TEST_F(NetworkDialogTest, APrinterThatNeverClosesHoldsTheSelfTestOnlySoLong) {
    auto printer = Printer("127.0.0.26", "00 11 22 33 44 26");
    printer.selfTestCloses = false;
    Printers printers({printer});
    ASSERT_TRUE(printers.started());
    AddNewTCPIPPort dialog;
    ULONGLONG clicked = 0, answered = 0;
    RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        ASSERT_TRUE(Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1; }));
        clicked = ::GetTickCount64();
        Click(hwnd, IDC_SELF_TEST_PAGE);
        ASSERT_TRUE(printers.waitUntil(
            [](const sim::SimulatorRecord& r) { return r.printers[0].selfTestBytes.size() == 7; }));
        DWORD_PTR answer = 0;
        EXPECT_NE(0, ::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 60000, &answer));
        answered = ::GetTickCount64();
    });
    EXPECT_GE(answered - clicked, 29000u);
    EXPECT_LT(answered - clicked, 40000u);
}

// Closing the dialog while replies pour in: the stop never waits on the dialog's thread.
TEST_F(NetworkDialogTest, ClosingDuringAFloodOfRepliesReturnsPromptly) {
    std::vector<sim::PrinterProfile> many{Printer("127.0.2.1", "00 11 22 33 55 01")};
    for (int i = 1; i < 100; ++i) many.push_back(sim::nextPrinter(many.back()));
    Printers printers(many);
    ASSERT_TRUE(printers.started());
    long worst = 0;
    for (int round = 0; round < 20; ++round) {
        AddNewTCPIPPort dialog;
        ULONGLONG closedAt = 0;
        RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
            Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) > 0; });
            closedAt = ::GetTickCount64();
            ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
            Eventually([&] { return !::IsWindow(hwnd); });
        });
        worst = std::max(worst, static_cast<long>(::GetTickCount64() - closedAt));
    }
    std::printf("closing during a flood of replies: at most %ld ms\n", worst);
    EXPECT_LT(worst, 2000);
}

// ---------------------------------------------------------------------------------------------
// Printer New IP Settings

// Collects what reaches UDP port 3000, as a printer's network interface would.
class DatagramRecorder {
    net::SocketLibrary library_;

public:
    DatagramRecorder() {
        // The port may still be held for a moment by a simulator that has just stopped.
        bound_ = Eventually(
            [&] {
                socket_ = net::Socket::udp();
                return socket_ && sim::bindTo(socket_, {0, 3000});
            },
            3s);
    }
    bool bound() const { return bound_; }
    // The next datagram within the time, or nothing.
    std::optional<std::vector<std::uint8_t>> next(std::chrono::milliseconds timeout) {
        socket_.setDeadline(net::Socket::Clock::now() + timeout);
        std::vector<std::uint8_t> buffer(2048);
        net::Ipv4Endpoint from;
        const auto received = socket_.receiveFrom(buffer, from);
        if (!received.ok()) return std::nullopt;
        buffer.resize(received.bytes);
        return buffer;
    }

private:
    net::Socket socket_;
    bool bound_ = false;
};

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

const std::string kHeader = std::string("B[\x00\xA0\xB1\xC2\xD3\xE4]YJKE02GPRINTERGP", 25);

TEST_F(NetworkDialogTest, SetParametersBroadcastsTheSettingsThenTheReboot) {
    DatagramRecorder printer;
    ASSERT_TRUE(printer.bound());
    PrinterParameterSettings dialog("127.0.0.9", "255.0.0.0", "127.0.0.1", "0", "30",
                                    "00 a0 B1 c2 D3 e4");
    std::vector<std::vector<std::uint8_t>> settings;
    std::optional<std::vector<std::uint8_t>> reboot, discovery;
    ULONGLONG settingsAt = 0, rebootAt = 0;
    bool noticeDuringWait = false;
    const INT_PTR result = RunWithUser(dialog, kSettingsCaption, [&](HWND hwnd) {
        EXPECT_EQ("127.0.0.9", ControlText(hwnd, IDC_SETTINGS_IP));
        EXPECT_EQ("255.0.0.0", ControlText(hwnd, IDC_SETTINGS_SUBNET));
        EXPECT_EQ("127.0.0.1", ControlText(hwnd, IDC_SETTINGS_GATEWAY));
        ::SetDlgItemTextA(hwnd, IDC_SETTINGS_IP, "127.0.0.77");
        ::SetDlgItemTextA(hwnd, IDC_SETTINGS_GATEWAY, "");
        Click(hwnd, IDOK);
        for (int i = 0; i < 4; ++i) {
            if (auto datagram = printer.next(5s)) settings.push_back(*datagram);
        }
        settingsAt = ::GetTickCount64();
        reboot = printer.next(5s);
        rebootAt = ::GetTickCount64();
        // During the fifteen seconds of the reboot the notice is up, and drawn.
        ::Sleep(3000);
        HWND notice = FindProcessWindow(kNoticeCaption);
        EXPECT_NE(nullptr, notice);
        if (notice) {
            const std::string text = ControlText(notice, IDC_NOTICE_TEXT);
            noticeDuringWait = text.rfind("Rebooting Printer.\n\n", 0) == 0;
            if (!noticeDuringWait) std::printf("the notice showed \"%s\"\n", text.c_str());
            SaveScreenshot(::GetDesktopWindow(), Screenshot("settings-notice-during-wait.bmp"));
        }
        discovery = printer.next(20s);
        // Return while the rescan runs: the dialog closes and the rescan ends with it.
        ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        Eventually([&] { return !::IsWindow(hwnd); });
    });
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(4u, settings.size());
    EXPECT_EQ(Bytes(kHeader + "D0"), settings[0]);
    EXPECT_EQ(Bytes(kHeader + "I127.0.0.77"), settings[1]);
    EXPECT_EQ(Bytes(kHeader + "S255.0.0.0"), settings[2]);
    EXPECT_EQ(Bytes(kHeader + "W"), settings[3]) << "an empty gateway is a 26-byte W";
    ASSERT_TRUE(reboot.has_value());
    EXPECT_EQ(Bytes(std::string("B[\x00\xA0\xB1\xC2\xD3\xE4]EJKE02", 15)), *reboot);
    EXPECT_GE(rebootAt - settingsAt, 900u) << "the reboot waits a second after it starts";
    EXPECT_TRUE(noticeDuringWait);
    ASSERT_TRUE(discovery.has_value());
    EXPECT_EQ(Bytes("B[]G"), *discovery);
    EXPECT_EQ(std::vector<std::string>{"Printer Parameters changed successfully"}, boxes.texts());
    EXPECT_EQ(0, Network().rescanned.load());
    EXPECT_EQ(nullptr, FindProcessWindow(kNoticeCaption)) << "the rescan's notice went too";
}

// A real click, as the mouse gives it, on the dialog's control.
void ClickWithMouse(HWND dialog, int id) {
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

TEST_F(NetworkDialogTest, AClickDuringTheWaitsIsDropped) {
    DatagramRecorder printer;
    ASSERT_TRUE(printer.bound());
    PrinterParameterSettings dialog("127.0.0.9", "255.0.0.0", "127.0.0.1", "0", "30",
                                    "001122334455");
    bool openAfterTheWait = false, closedByTheControlClick = false;
    RunWithUser(dialog, kSettingsCaption, [&](HWND hwnd) {
        Click(hwnd, IDOK);
        // The reboot datagram: the fifteen-second wait runs.
        for (int i = 0; i < 5; ++i) printer.next(5s);
        ::SetForegroundWindow(hwnd);
        ClickWithMouse(hwnd, IDCANCEL);
        // The rescan's request: the wait is over and the dialog takes input again.
        ASSERT_TRUE(printer.next(20s).has_value());
        ::Sleep(1000);
        openAfterTheWait = ::IsWindow(hwnd) != FALSE;
        ::SetForegroundWindow(hwnd);
        ClickWithMouse(hwnd, IDCANCEL);
        closedByTheControlClick = Eventually([&] { return !::IsWindow(hwnd); }, 5s);
    });
    EXPECT_TRUE(openAfterTheWait) << "Return clicked during the wait must not act afterwards";
    EXPECT_TRUE(closedByTheControlClick) << "the same click after the wait closes the dialog";
}

// The core refuses values the printer's buffer cannot take and addresses that name no printer.
TEST_F(NetworkDialogTest, SettingsTheCoreRefusesReportTheFailure) {
    struct Case {
        const char* mac;
        std::string gateway;
    };
    for (const Case& c :
         {Case{"00 11 22", "127.0.0.1"}, Case{"001122334455", std::string(74, '1')}}) {
        MessageBoxes shown;
        DatagramRecorder printer;
        PrinterParameterSettings dialog("127.0.0.9", "255.0.0.0", c.gateway, "0", "30", c.mac);
        RunWithUser(dialog, kSettingsCaption, [&](HWND hwnd) {
            Click(hwnd, IDOK);
            ASSERT_TRUE(Eventually([&] { return !shown.texts().empty(); }));
            EXPECT_TRUE(::IsWindow(hwnd)) << "the dialog stays for another try";
        });
        EXPECT_EQ(std::vector<std::string>{"Couldn't change Printer Parameters. Try again!!"},
                  shown.texts());
        EXPECT_FALSE(printer.next(200ms).has_value()) << "nothing half-sent";
    }
}

TEST_F(NetworkDialogTest, NewSettingsListThePrinterUnderItsNewAddress) {
    auto printer = Printer("127.0.0.30", "00 11 22 33 44 30");
    Printers printers({printer});
    ASSERT_TRUE(printers.started());
    AddNewTCPIPPort dialog;
    bool settingsClosedItself = false;
    RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        ASSERT_TRUE(Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1; }));
        Click(hwnd, IDC_NEW_IP_SETTINGS);
        HWND settings = nullptr;
        ASSERT_TRUE(Eventually([&] { return (settings = FindProcessWindow(kSettingsCaption)); }));
        EXPECT_EQ("255.0.0.0", ControlText(settings, IDC_SETTINGS_SUBNET));
        ::SetDlgItemTextA(settings, IDC_SETTINGS_IP, "127.0.0.31");
        Click(settings, IDOK);
        settingsClosedItself = Eventually([&] { return !::IsWindow(settings); }, 30s);
        ASSERT_TRUE(Eventually([&] {
            return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1 &&
                   ComboEntry(hwnd, IDC_TCPIP_ADDRESS_LIST, 0) == "127.0.0.31";
        }));
    });
    EXPECT_TRUE(settingsClosedItself);
    EXPECT_EQ(1, Network().rescanned.load());
    EXPECT_EQ(std::vector<std::string>{"Printer Parameters changed successfully"}, boxes.texts());
    EXPECT_EQ(1, printers.record().printers[0].reboots);
}

TEST_F(NetworkDialogTest, NoAnswerToTheRescanKeepsTheListsAfterFiveAttempts) {
    auto printer = std::make_unique<Printers>(
        std::vector<sim::PrinterProfile>{Printer("127.0.0.32", "00 11 22 33 44 32")});
    ASSERT_TRUE(printer->started());
    AddNewTCPIPPort dialog;
    ULONGLONG rescanStarted = 0, settingsClosed = 0;
    RunWithUser(dialog, kAddPortCaption, [&](HWND hwnd) {
        ASSERT_TRUE(Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == 1; }));
        Click(hwnd, IDC_NEW_IP_SETTINGS);
        HWND settings = nullptr;
        ASSERT_TRUE(Eventually([&] { return (settings = FindProcessWindow(kSettingsCaption)); }));
        ::SetDlgItemTextA(settings, IDC_SETTINGS_IP, "127.0.0.33");
        Click(settings, IDOK);
        // The printer takes its settings and reboots, and then is heard no more.
        ASSERT_TRUE(printer->waitUntil(
            [](const sim::SimulatorRecord& r) { return r.printers[0].reboots == 1; }, 10s));
        printer.reset();
        Eventually(
            [&] {
                return FindProcessWindow(kNoticeCaption) &&
                       ControlText(FindProcessWindow(kNoticeCaption), IDC_NOTICE_TEXT)
                               .rfind("Rescanning", 0) == 0;
            },
            20s);
        rescanStarted = ::GetTickCount64();
        EXPECT_TRUE(Eventually([&] { return !::IsWindow(settings); }, 40s));
        settingsClosed = ::GetTickCount64();
    });
    EXPECT_GE(settingsClosed - rescanStarted, 24000u) << "five attempts of five seconds";
    EXPECT_EQ(1, Network().rescanned.load());
    EXPECT_EQ(0u, Network().rescanStore.count());
}

// A second Set Parameters while the first one's rescan runs ends that rescan: it can no longer
// close the dialog or change what the dialog's opener reads.
TEST_F(NetworkDialogTest, ASecondSetParametersEndsTheEarlierRescan) {
    Printers printers({Printer("127.0.0.34", "00 11 22 33 44 34")});
    ASSERT_TRUE(printers.started());
    PrinterParameterSettings dialog("127.0.0.34", "255.0.0.0", "127.0.0.1", "0", "30",
                                    "00 11 22 33 44 34");
    bool openAfterwards = false;
    RunWithUser(dialog, kSettingsCaption, [&](HWND hwnd) {
        Click(hwnd, IDOK);
        ASSERT_TRUE(Eventually(
            [&] {
                HWND notice = FindProcessWindow(kNoticeCaption);
                return notice && ControlText(notice, IDC_NOTICE_TEXT).rfind("Rescanning", 0) == 0;
            },
            25s));
        ::SetDlgItemTextA(hwnd, IDC_SETTINGS_GATEWAY, std::string(74, '1').c_str());
        Click(hwnd, IDOK);
        ASSERT_TRUE(Eventually([&] { return boxes.texts().size() == 2; }));
        ::Sleep(7000);
        openAfterwards = ::IsWindow(hwnd) && ::IsWindowVisible(hwnd);
    });
    EXPECT_TRUE(openAfterwards);
    EXPECT_EQ((std::vector<std::string>{"Printer Parameters changed successfully",
                                        "Couldn't change Printer Parameters. Try again!!"}),
              boxes.texts());
    EXPECT_EQ(0, Network().rescanned.load());
    EXPECT_EQ(nullptr, FindProcessWindow(kNoticeCaption));
}

// ---------------------------------------------------------------------------------------------
// Check Printer Status

constexpr int kLamps[] = {
    IDC_LAMP_OFF_LINE,  IDC_LAMP_COVER,  IDC_LAMP_CUTTER, IDC_LAMP_NEAR_END, IDC_LAMP_RESTORABLE,
    IDC_LAMP_PAPER_END, IDC_LAMP_DRAWER, IDC_LAMP_FEED,   IDC_LAMP_BUSY,     IDC_LAMP_UNRESTORABLE};

// The ten lamps in control order: G green, - grey, R red.
std::string Lamps(HWND hwnd) {
    std::string shown;
    for (int id : kLamps) {
        switch (LampColour(hwnd, id)) {
            case Colour::Green:
                shown += 'G';
                break;
            case Colour::Grey:
                shown += '-';
                break;
            case Colour::Red:
                shown += 'R';
                break;
            case Colour::Unknown:
                shown += '?';
                break;
        }
    }
    return shown;
}

TEST_F(NetworkDialogTest, StatusOpensGreyAndShowsAnUnreachablePrinterOffLine) {
    // Nothing listens on 127.0.0.99.
    PrinterStatusDialog dialog("127.0.0.99");
    RunWithUser(dialog, kStatusCaption, [&](HWND hwnd) {
        EXPECT_EQ("----------", Lamps(hwnd));
        EXPECT_EQ("Auto Status Start", ControlText(hwnd, IDC_AUTO_STATUS));
        Click(hwnd, IDC_AUTO_STATUS);
        EXPECT_TRUE(Eventually([&] { return Lamps(hwnd) == "R---------"; })) << Lamps(hwnd);
        EXPECT_EQ("Auto Status Stop", ControlText(hwnd, IDC_AUTO_STATUS));
        Click(hwnd, IDC_AUTO_STATUS);
        EXPECT_TRUE(Eventually([&] { return Lamps(hwnd) == "----------"; })) << Lamps(hwnd);
        EXPECT_EQ("Auto Status Start", ControlText(hwnd, IDC_AUTO_STATUS));
    });
}

struct StatusCase {
    const char* script;  // the printer holds still on "silent" after its answers
    const char* lamps;
};

class StatusSequenceTest : public NetworkDialogTest,
                           public testing::WithParamInterface<StatusCase> {};

TEST_P(StatusSequenceTest, LampsFollowTheAnswers) {
    auto printer = Printer("127.0.0.40", "00 11 22 33 44 40");
    printer.status = *sim::parseStatusScript(GetParam().script);
    Printers printers({printer});
    ASSERT_TRUE(printers.started());
    PrinterStatusDialog dialog("127.0.0.40");
    RunWithUser(dialog, kStatusCaption, [&](HWND hwnd) {
        Click(hwnd, IDC_AUTO_STATUS);
        EXPECT_TRUE(Eventually([&] { return Lamps(hwnd) == GetParam().lamps; })) << Lamps(hwnd);
        if (std::string(GetParam().script) == "1400000F,5C00000F,silent") {
            SaveScreenshot(hwnd, Screenshot("status-green-and-red.bmp"));
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Answers, StatusSequenceTest,
                         testing::Values(StatusCase{"1400000F,silent", "GGGGGGGGGG"},
                                         StatusCase{"1400000F,5C00000F,silent", "GGGGGGGRRG"},
                                         StatusCase{"5C000000,3C000C00,silent", "GRGGGRGRRG"},
                                         StatusCase{"10000000,14000000,silent", "GGGGGGRGGG"},
                                         StatusCase{"10000000,14000000,1400000F,silent",
                                                    "GGGGGGGGGG"},
                                         StatusCase{"1400000F,FFFFFFFF,silent", "R---------"}));

TEST_F(NetworkDialogTest, StartStopStartLeavesOnePollerAndClosingStopsIt) {
    auto printer = Printer("127.0.0.41", "00 11 22 33 44 41");
    printer.status = *sim::parseStatusScript("5C00000F,silent");
    Printers printers({printer});
    ASSERT_TRUE(printers.started());
    {
        PrinterStatusDialog dialog("127.0.0.41");
        RunWithUser(dialog, kStatusCaption, [&](HWND hwnd) {
            Click(hwnd, IDC_AUTO_STATUS);
            EXPECT_TRUE(Eventually([&] { return Lamps(hwnd) == "GGGGGGGRRG"; })) << Lamps(hwnd);
            Click(hwnd, IDC_AUTO_STATUS);
            EXPECT_TRUE(Eventually([&] { return Lamps(hwnd) == "----------"; })) << Lamps(hwnd);
            Click(hwnd, IDC_AUTO_STATUS);
            EXPECT_TRUE(Eventually([&] { return Lamps(hwnd) == "GGGGGGGRRG"; })) << Lamps(hwnd);
            EXPECT_EQ("Auto Status Stop", ControlText(hwnd, IDC_AUTO_STATUS));
            EXPECT_EQ(1, printers.record().printers[0].statusConnectionsOpen)
                << "exactly one poller is connected";
        });
    }
    const auto record = printers.record();
    EXPECT_TRUE(printers.waitUntil([](const sim::SimulatorRecord& r) {
        return r.printers[0].statusConnectionsOpen == 0;
    })) << "closing the dialog stopped the poller";
    EXPECT_EQ(2, record.printers[0].statusConnections);
    // One poller asked once before its printer fell silent; the stopped one got one answer at most.
    EXPECT_LE(record.printers[0].statusRequests, 4);
    EXPECT_GE(record.printers[0].statusRequests, 2);
}

// The poller delivering as fast as the printer answers while the dialog closes, many times.
TEST_F(NetworkDialogTest, ClosingWhileTheLampsChangeReturnsPromptly) {
    auto printer = Printer("127.0.0.42", "00 11 22 33 44 42");
    printer.status = *sim::parseStatusScript("1400000F,5C00000F,3C000C00,10000000");
    Printers printers({printer});
    ASSERT_TRUE(printers.started());
    long worst = 0;
    for (int round = 0; round < 20; ++round) {
        PrinterStatusDialog dialog("127.0.0.42");
        ULONGLONG closedAt = 0;
        RunWithUser(dialog, kStatusCaption, [&](HWND hwnd) {
            Click(hwnd, IDC_AUTO_STATUS);
            ::Sleep(100 + 10 * round);
            closedAt = ::GetTickCount64();
            ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
            Eventually([&] { return !::IsWindow(hwnd); });
        });
        worst = std::max(worst, static_cast<long>(::GetTickCount64() - closedAt));
    }
    const long requests = printers.record().printers[0].statusRequests;
    std::printf("closing while lamps change: at most %ld ms, %ld status requests in all\n", worst,
                requests);
    EXPECT_LT(worst, 2000);
    ::Sleep(300);
    EXPECT_EQ(requests, printers.record().printers[0].statusRequests) << "no poller outlived";
}

}  // namespace
