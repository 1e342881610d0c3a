#pragma once

#include <array>
#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Mailbox.h"
#include "network/protocol/LampState.h"
#include "network/protocol/StatusInterpretation.h"
#include "network/protocol/StatusPoller.h"
#include "platform/UniqueHandle.h"

// "Check Printer Status": ten lamps that follow the status bytes the printer answers while
// Auto Status runs.
class PrinterStatusDialog : public CDialogEx {
public:
    explicit PrinterStatusDialog(std::string ipAddress, HWND owner = nullptr);
    ~PrinterStatusDialog() override;

    BOOL OnInitDialog() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // On the dialog's thread.
    void SetLamp(net::Lamp lamp, net::LampState state);
    void SetAllLamps(net::LampState state);
    net::LampState LampShown(net::Lamp lamp) const { return shown_[net::lampIndex(lamp)]; }
    bool Polling() const { return polling_; }

    std::array<CStatic, net::kLampCount> lamps;
    CStatic title;
    CButton autoStatusButton;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    // The poller's side: each change travels to the dialog's thread as posted data.
    class PostedLamps : public net::LampPanel {
    public:
        explicit PostedLamps(Mailbox<net::LampChange>& mailbox) : mailbox_(mailbox) {}
        void setLamp(net::Lamp lamp, net::LampState state) override {
            mailbox_.Post({lamp, state});
        }
        void setAllLamps(net::LampState state) override { mailbox_.Post({std::nullopt, state}); }

    private:
        Mailbox<net::LampChange>& mailbox_;
    };

    bool OnLampsChanged(WPARAM, LPARAM, LRESULT&);
    bool OnDestroy(WPARAM, LPARAM, LRESULT&);
    bool OnControlColour(WPARAM, LPARAM, LRESULT&);
    void OnAutoStatus(UINT id);
    // When this returns, no change of the poller's is waiting or will come.
    void StopPoller();

    std::string ipAddress_;
    // The dialog's thread alone reads and writes it; the poller knows nothing of it.
    bool polling_ = false;
    std::array<net::LampState, net::kLampCount> shown_{};
    UniqueBitmap clearBitmap_;
    UniqueBitmap alertBitmap_;
    UniqueBitmap idleBitmap_;
    Mailbox<net::LampChange> changes_;
    PostedLamps postedLamps_{changes_};
    net::StatusPoller poller_;
};
