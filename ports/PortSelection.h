#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/KeyFilter.h"

// The port list of the local spooler: the user picks the printer's port, configures it or
// creates a TCP/IP port; OK installs the printer there.
class CPortSelection : public CEscapeProofDialog {
public:
    explicit CPortSelection(HWND parent = nullptr);

    // Installs on the chosen port, or on the USB printer's COM port when "USB" was chosen.
    void InstallOnChosenPort();
    // Fills the list from the spooler: nonzero on success.
    int ListPorts();

    BOOL OnInitDialog() override;
    // The framework's OK command: the dialog's own OK button installs instead.
    void OnOK() override;
    void OnCancel() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The port names the list's entries point to; they go with the entries.
    size_t HeldPortNameCount() const { return portNames_.size(); }

    // The full text of the selected entry, shown in Current Port.
    std::string currentPortText;
    // The list's selection by text.
    std::string listSelectionText;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    // Create Port: the Add TCP/IP port dialog, run modally; it searches the network.
    virtual void RunAddPortDialog();

private:
    bool OnDestroy(WPARAM, LPARAM, LRESULT& result);
    void OnPortSelected(UINT id);
    void OnOkClicked(UINT id);
    void OnConfigurePortClicked(UINT id);
    void OnCreatePortClicked(UINT id);
    void OnCancelClicked(UINT id);
    void OnCurrentPortChanged(UINT id);

    void EmptyList();
    // Selects entry `index` as the port to install on.
    void ChooseEntry(int index);
    // The text of the selected entry; empty when nothing is selected.
    std::string SelectedEntryText() const;
    // The port name behind the selected entry; empty when nothing is selected.
    std::string SelectedEntryPort() const;
    // Steps shared by the dialog's OK and the USB path: the installer on the chosen port.
    void RunInstaller();
    void ConfigurePort(const std::string& portName);
    // After a failed enumeration: says so, then asks whether to leave.
    void ReportEnumerationFailure(const char* message);

    CListBox portList_;
    CEdit currentPortEdit_;
    // Each entry's item data points into one of these.
    std::vector<std::unique_ptr<std::string>> portNames_;
};
