#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <variant>
#include <vector>

// A table from message, notification code and control ID to a member handler of T.
// A window class keeps one table and consults it from its OnWndMsg:
//
//   using Map = MessageMap<CSetupDlg>;
//   static const Map map{
//       Map::Message(WM_PAINT, &CSetupDlg::OnPaint),
//       Map::Command(BN_CLICKED, IDOK, &CSetupDlg::OnOk),
//       Map::Notify(TCN_SELCHANGE, 1000, &CSetupDlg::OnTabChanged),
//   };
//   return map.Dispatch(this, message, wParam, lParam, result) || Base::OnWndMsg(...);
template <class T>
class MessageMap {
public:
    // Plain messages: the handler reports whether it handled the message.
    using MessageHandler = bool (T::*)(WPARAM, LPARAM, LRESULT&);
    // Control commands (WM_COMMAND): the handler gets the control ID.
    using CommandHandler = void (T::*)(UINT id);
    // Control notifications (WM_NOTIFY): the handler sets the notification result.
    using NotifyHandler = void (T::*)(NMHDR*, LRESULT*);

    struct Entry {
        UINT message;
        UINT code;
        UINT id;
        std::variant<MessageHandler, CommandHandler, NotifyHandler> handler;
    };

    static Entry Message(UINT message, MessageHandler handler) { return {message, 0, 0, handler}; }
    static Entry Command(UINT code, UINT id, CommandHandler handler) {
        return {WM_COMMAND, code, id, handler};
    }
    static Entry Notify(UINT code, UINT id, NotifyHandler handler) {
        return {WM_NOTIFY, code, id, handler};
    }

    MessageMap(std::initializer_list<Entry> entries) : entries_(entries) {}

    // Runs the first matching handler; false when the table has none for the message.
    bool Dispatch(T* target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
        for (const Entry& entry : entries_) {
            if (entry.message != message) continue;
            if (message == WM_COMMAND) {
                if (HIWORD(wParam) != entry.code || LOWORD(wParam) != entry.id) continue;
                (target->*std::get<CommandHandler>(entry.handler))(LOWORD(wParam));
                result = 0;
                return true;
            }
            if (message == WM_NOTIFY) {
                auto* header = reinterpret_cast<NMHDR*>(lParam);
                if (header->code != entry.code || header->idFrom != entry.id) continue;
                result = 0;
                (target->*std::get<NotifyHandler>(entry.handler))(header, &result);
                return true;
            }
            if ((target->*std::get<MessageHandler>(entry.handler))(wParam, lParam, result)) {
                return true;
            }
        }
        return false;
    }

private:
    std::vector<Entry> entries_;
};
